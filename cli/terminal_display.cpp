#include "cli/terminal_display.hpp"

#include "core/table_file.hpp"

namespace lookup {

velmora::Expected<velmora::CodeTableReader> openTableFor(const Arguments& arguments) {
    return velmora::openTable(tablePath(arguments), velmora::CodeTableReader::kDefaultReadSize,
                              velmora::identityOfOpenFile(1));
}

int readTableToOutput(const Arguments& arguments, Streams streams, const TableReading& read) {
    auto reader = openTableFor(arguments);
    if (!reader) {
        complain(streams.err, reader.error().describe());
        return kExitFailure;
    }
    TerminalDisplay display(streams.out);
    if (const auto failure = read(*reader, display)) {
        complain(streams.err, failure->describe());
        return kExitFailure;
    }
    return kExitSuccess;
}

} // namespace lookup
