#include "terminal_display.hpp"

#include "table_file.hpp"

namespace lookup {

int readTableToOutput(const Arguments& arguments, Streams streams, const TableReading& read) {
    // Standard output appended to the table would be read back as table, without end.
    auto reader =
        velmora::openTable(tablePath(arguments), velmora::CodeTableReader::kDefaultReadSize,
                           velmora::identityOfOpenFile(1));
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
