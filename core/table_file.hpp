#pragma once

#include "core/code_table.hpp"
#include "core/table_error.hpp"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>

namespace velmora {

// What tells one file from another: the device (or volume) and the file's number on it.
struct FileIdentity {
    std::uint64_t device = 0;
    std::uint64_t file = 0;
    friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
};

// The identity of the regular file open on `descriptor` (1 for standard output); none when it is
// a terminal, a pipe or closed.
std::optional<FileIdentity> identityOfOpenFile(int descriptor);

// Opens the regular file at `path` for a reader, which reads it up to the size it has now (one
// whose size reads 0 to its end); the error says why it cannot be read. The table may not be the
// file `output`: the results would be read back as table.
Expected<CodeTableReader> openTable(const std::filesystem::path& path,
                                    std::size_t readSize = CodeTableReader::kDefaultReadSize,
                                    const std::optional<FileIdentity>& output = std::nullopt);

// Where the table is looked up: RPO.txt in the current folder, else beside the program, else in
// the installed data folder <prefix>/share/velmora. The first that exists (a link counts, even a
// broken one) is used; if none does, the current folder's, where the user most likely puts it.
std::filesystem::path locateTable(const std::filesystem::path& currentFolder,
                                  const std::filesystem::path& programFolder);
// The same from the process's current folder and the running program's folder.
std::filesystem::path locateTable();

} // namespace velmora
