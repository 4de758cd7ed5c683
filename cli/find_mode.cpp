// Find by description for a terminal: the operands are the words, and every record whose
// description holds all of them goes to standard output, then how many matched.

#include "find.hpp"
#include "modes.hpp"
#include "table_file.hpp"
#include "terminal_display.hpp"
#include "text.hpp"

#include <algorithm>
#include <string>
#include <vector>

namespace lookup {

int runFind(const Arguments& arguments, Streams streams) {
    std::vector<std::string> texts(arguments.operands.size());
    std::transform(arguments.operands.begin(), arguments.operands.end(), texts.begin(),
                   [](const std::string& operand) { return velmora::text::toUtf8(operand); });
    velmora::DescriptionQuery query(texts);
    if (query.empty()) {
        return usageError(streams.err, "--find needs at least one word to look for");
    }

    // Standard output appended to the table would be read back as table, without end.
    auto reader =
        velmora::openTable(tablePath(arguments), velmora::CodeTableReader::kDefaultReadSize,
                           velmora::identityOfOpenFile(1));
    if (!reader) {
        complain(streams.err, reader.error().describe());
        return kExitFailure;
    }
    TerminalDisplay display(streams.out);
    if (const auto failure = velmora::findByDescription(query, *reader, display)) {
        complain(streams.err, failure->describe());
        return kExitFailure;
    }
    return kExitSuccess;
}

} // namespace lookup
