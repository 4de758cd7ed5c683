#include "table_error.hpp"

namespace velmora {

int TableError::number() const {
    switch (kind) {
    case Kind::NotFound:
        return 53;
    case Kind::AccessDenied:
        return 70;
    case Kind::NotAFile:
    case Kind::LinkLoop:
    case Kind::PathTooLong:
        return 75;
    case Kind::IsTheOutput:
        return 55;
    case Kind::ReadFailed:
        return 57;
    }
    return 57;
}

std::string TableError::message() const {
    switch (kind) {
    case Kind::NotFound:
        return "File not found";
    case Kind::AccessDenied:
        return "Permission denied";
    case Kind::NotAFile:
    case Kind::LinkLoop:
    case Kind::PathTooLong:
        return "Path/File access error";
    case Kind::IsTheOutput:
        return "File already open";
    case Kind::ReadFailed:
        return "Device I/O error";
    }
    return "Device I/O error";
}

std::string TableError::describe() const {
    std::string line = "Error " + std::to_string(number()) + ": " + message() + ": ";
    line += pathToUtf8(path);
    switch (kind) {
    case Kind::NotAFile:
        line += " is a folder or device, not a file";
        break;
    case Kind::ReadFailed:
        line += " could not be read to its end";
        break;
    case Kind::LinkLoop:
        line += " cannot be reached: its links lead round in a circle";
        break;
    case Kind::PathTooLong:
        line += " cannot be reached: the path is longer than the system allows";
        break;
    case Kind::IsTheOutput:
        line += " is also the file the results are written to";
        break;
    case Kind::NotFound:
    case Kind::AccessDenied:
        break;
    }
    return line;
}

std::string TableError::advice() const {
    switch (kind) {
    case Kind::NotFound:
        return "The program looks for RPO.txt in the current folder, then beside the program. "
               "Put RPO.txt beside the program, then click \"Search\" again.";
    case Kind::AccessDenied:
        return "RPO.txt is there, but this account may not read it. Allow reading it in the "
               "file's permissions, then click \"Search\" again.";
    case Kind::NotAFile:
        return "The name RPO.txt belongs to a folder or a device, not to a text file. Put the code "
               "table file RPO.txt in its place, then click \"Search\" again.";
    case Kind::ReadFailed:
        return "The file could not be read to its end: the disk or network share may have "
               "failed. The lines shown come from the part that was read. Check the disk, then "
               "click \"Search\" again.";
    case Kind::LinkLoop:
        return "A link on the way to RPO.txt points back to itself, directly or through other "
               "links. Replace the link by the code table file, then click \"Search\" again.";
    case Kind::PathTooLong:
        return "The folders that hold RPO.txt are nested too deep for the system. Move the "
               "program and RPO.txt to a shorter path, then click \"Search\" again.";
    case Kind::IsTheOutput:
        return "The results would be read back as part of the code table. Write the results to "
               "another file.";
    }
    return {};
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
