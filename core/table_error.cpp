#include "core/table_error.hpp"

#include <algorithm>
#include <array>
#include <cstddef>
#include <string_view>

namespace velmora {

namespace {

// Everything said about one cause: number, title, what describe() adds after the path, advice.
struct CauseText {
    TableError::Kind kind; // cppcheck-suppress unusedStructMember ; read by the order check
    int number;
    std::string_view title;
    std::string_view detail;
    std::string_view advice;
};

constexpr std::array<CauseText, 8> kCauses {{
    // Every place the table is looked for, in the order looked (see locateTable).
    {TableError::Kind::NotFound, 53, "File not found", "",
#if defined(_WIN32)
     "The program looks for RPO.txt in the current folder, then beside the program. Put RPO.txt "
     "beside the program, then click \"Search\" again."},
#else
     "The program looks for RPO.txt in the current folder, then beside the program, then in the "
     "installed data folder (share/velmora beside the program's folder). Put RPO.txt beside the "
     "program, then click \"Search\" again."},
#endif
    {TableError::Kind::AccessDenied, 70, "Permission denied", "",
     "RPO.txt is there, but this account may not read it. Allow reading it in the file's "
     "permissions, then click \"Search\" again."},
    {TableError::Kind::NotAFile, 75, "Path/File access error", " is a folder or device, not a file",
     "The name RPO.txt belongs to a folder or a device, not to a text file. Put the code table "
     "file RPO.txt in its place, then click \"Search\" again."},
    {TableError::Kind::ReadFailed, 57, "Device I/O error", " could not be read to its end",
     "The file could not be read to its end: the disk or network share may have failed. The "
     "lines shown come from the part that was read. Check the disk, then click \"Search\" "
     "again."},
    {TableError::Kind::CutShort, 57, "Device I/O error", " became shorter while it was read",
     "The file was made shorter while it was read, perhaps by a program saving it. The lines "
     "shown come from the part that was read. Wait until it is saved, then click \"Search\" "
     "again."},
    {TableError::Kind::LinkLoop, 75, "Path/File access error",
     " cannot be reached: its links lead round in a circle",
     "A link on the way to RPO.txt points back to itself, directly or through other links. "
     "Replace the link by the code table file, then click \"Search\" again."},
    {TableError::Kind::PathTooLong, 75, "Path/File access error",
     " cannot be reached: the path is longer than the system allows",
     "The folders that hold RPO.txt are nested too deep for the system. Move the program and "
     "RPO.txt to a shorter path, then click \"Search\" again."},
    {TableError::Kind::IsTheOutput, 55, "File already open",
     " is also the file the results are written to",
     "The results would be read back as part of the code table. Write the results to another "
     "file."},
}};

// One row for each kind, in the order of the kinds, so that a kind finds its row by its value.
static_assert(kCauses.size() == static_cast<std::size_t>(TableError::Kind::IsTheOutput) + 1 &&
              std::ranges::all_of(kCauses, [](const CauseText& row) {
                  return &row == &kCauses[static_cast<std::size_t>(row.kind)];
              }));

const CauseText& textOf(TableError::Kind kind) {
    return kCauses[static_cast<std::size_t>(kind)];
}

} // namespace

int TableError::number() const {
    return textOf(kind).number;
}

std::string TableError::describe() const {
    const CauseText& text = textOf(kind);
    return "Error " + std::to_string(text.number) + ": " + std::string(text.title) + ": " +
           pathToUtf8(path) + std::string(text.detail);
}

std::string TableError::advice() const {
    return std::string(textOf(kind).advice);
}

std::string pathToUtf8(const std::filesystem::path& path) {
    try {
        const std::u8string text = path.u8string();
        return {text.begin(), text.end()};
    } catch (const std::exception&) {
        // A Windows name with a lone surrogate has no UTF-8 form.
        return "(a path that cannot be shown)";
    }
}

} // namespace velmora
