#pragma once

#include "core/code_table.hpp"
#include "core/table_error.hpp"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>

namespace velmora {

// The file side of the code table: finding RPO.txt and opening it for the reader. The reader
// itself only sees a ByteSource.

// What tells one file from another: the device (or volume) and the file's number on it.
struct FileIdentity {
    std::uint64_t device = 0;
    std::uint64_t file = 0;
    friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
};

// The identity of the regular file open on `descriptor` (1 for standard output); none when it is
// a terminal, a pipe or closed.
std::optional<FileIdentity> identityOfOpenFile(int descriptor);

// Opens the table file at `path` and hands it to a reader; the error says why it cannot be read.
// The file must be a regular file, and is read only up to the size it has now; when it ends
// sooner, the reader's error says it was cut short. One whose size reads 0 is read to its end. When
// `output` is given, the table may not be that file: the results would be read back as table.
Expected<CodeTableReader> openTable(const std::filesystem::path& path,
                                    std::size_t readSize = CodeTableReader::kDefaultReadSize,
                                    const std::optional<FileIdentity>& output = std::nullopt);

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
