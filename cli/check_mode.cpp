// The table check for the people who edit tables: every finding as "line N: ...", then a count.

#include "cli/modes.hpp"
#include "cli/terminal_display.hpp"
#include "core/table_check.hpp"

#include <string>

namespace lookup {

int runCheck(const Arguments& arguments, Streams streams) {
    if (arguments.operands.size() > 1) {
        return usageError(streams.err, "--check reads one table: give one FILE");
    }
    if (!arguments.operands.empty() && arguments.table) {
        return usageError(streams.err, "--check reads one table: give FILE or --table, not both");
    }
    Arguments table = arguments;
    if (!arguments.operands.empty()) {
        if (arguments.operands.front().empty()) {
            return usageError(streams.err, "--check needs a file name, not an empty one");
        }
        table.table = arguments.operands.front();
    }
    auto reader = openTableFor(table);
    if (!reader) {
        complain(streams.err, reader.error().describe());
        return kExitFailure;
    }
    TerminalDisplay display(streams.out);
    auto summary = velmora::printTableCheck(*reader, tablePath(table), display);
    if (!summary.hasValue()) {
        complain(streams.err, summary.error().describe());
        return kExitFailure;
    }
    return summary.value().findings == 0 ? kExitSuccess : kExitFindings;
}

} // namespace lookup
