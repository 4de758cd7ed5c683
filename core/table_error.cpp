#include "table_error.hpp"

namespace velmora {

int TableError::number() const {
    switch (kind) {
    case Kind::NotFound:
        return 53;
    case Kind::AccessDenied:
        return 70;
    case Kind::NotAFile:
        return 75;
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
        return "Path/File access error";
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
