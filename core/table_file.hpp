#pragma once

#include "code_table.hpp"
#include "table_error.hpp"

#include <cstddef>
#include <filesystem>

namespace velmora {

// The file side of the code table: finding RPO.txt and opening it for the reader. The reader
// itself only sees a ByteSource.

// Opens the table file at `path` and hands it to a reader; the error says why it cannot be read.
Expected<CodeTableReader> openTable(const std::filesystem::path& path,
                                    std::size_t readSize = CodeTableReader::kDefaultReadSize);

// Where the table is looked up: RPO.txt in the current folder; where it is not there, beside the
// program; where not there either, in the installed data folder <prefix>/share/velmora beside
// the program's bin folder. The first that exists (a link counts, even a broken one) is used; if
// none does, the current folder's path, so that the error names the place the user is most
// likely to put the file.
std::filesystem::path locateTable(const std::filesystem::path& currentFolder,
                                  const std::filesystem::path& programFolder);
// The same from the process's current folder and the running program's folder.
std::filesystem::path locateTable();

// The folder that holds the running program's executable, or an empty path when the platform
// cannot say.
std::filesystem::path programFolder();

} // namespace velmora
