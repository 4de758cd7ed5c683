// The table check for the people who edit tables: every finding as "line N: ...", then a count.

#include "cli/modes.hpp"
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
    const std::filesystem::path path = tablePath(table);
    auto summary = velmora::checkTable(path, [&streams](const velmora::TableFinding& found) {
        streams.out.writeLine("line " + std::to_string(found.line) + ": " + found.message);
    });
    if (!summary.hasValue()) {
        complain(streams.err, summary.error().describe());
        return kExitFailure;
    }
    streams.out.writeLine(velmora::describeCheck(summary.value(), path));
    return summary.value().findings == 0 ? kExitSuccess : kExitFindings;
}

} // namespace lookup
