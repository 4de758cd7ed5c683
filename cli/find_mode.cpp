// Find by description for a terminal: the operands are the words, and every record whose
// description holds all of them goes to standard output, then how many matched.

#include "cli/modes.hpp"
#include "cli/terminal_display.hpp"
#include "core/find.hpp"
#include "core/text.hpp"

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
    if (query.wordCount() > velmora::DescriptionQuery::kMostWords) {
        return usageError(streams.err, "--find takes at most " +
                                           std::to_string(velmora::DescriptionQuery::kMostWords) +
                                           " different words");
    }
    if (query.longestWord() > velmora::DescriptionQuery::kLongestWord) {
        return usageError(streams.err, "a word of --find may be at most " +
                                           std::to_string(velmora::DescriptionQuery::kLongestWord) +
                                           " characters long");
    }

    return readTableToOutput(arguments, streams,
                             [&query](velmora::CodeTableReader& reader, TerminalDisplay& display) {
                                 return velmora::findByDescription(query, reader, display);
                             });
}

} // namespace lookup
