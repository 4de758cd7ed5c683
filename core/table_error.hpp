#pragma once

#include <filesystem>
#include <string>
#include <variant>

namespace velmora {

// Why the code table could not be read, with the program's long-standing error number.
struct TableError {
    enum class Kind {
        NotFound,
        AccessDenied,
        NotAFile,
        ReadFailed,
        // The file ended before the size it had when it was opened.
        CutShort,
        // Links that lead round in a circle, so the path never reaches a file.
        LinkLoop,
        PathTooLong,
        // The table is the very file the results are written to. Stays last: the texts of the
        // kinds are counted up to it.
        IsTheOutput,
    };

    Kind kind;
    std::filesystem::path path;

    int number() const;
    // E.g. "Error 53: File not found: /home/ann/RPO.txt".
    std::string describe() const;
    // What the user can do about it, shown under the description in the windows.
    std::string advice() const;
};

// A path as UTF-8 text, for messages.
std::string pathToUtf8(const std::filesystem::path& path);

// Either a value or the reason there is none.
template <typename T> class Expected {
public:
    // Implicit, so that a function returns either its value or its error as it is.
    // cppcheck-suppress noExplicitConstructor
    Expected(T value) : state_(std::move(value)) {} // NOLINT(google-explicit-constructor)
    // cppcheck-suppress noExplicitConstructor
    Expected(TableError error) : state_(std::move(error)) {} // NOLINT(google-explicit-constructor)

    bool hasValue() const { return std::holds_alternative<T>(state_); }
    explicit operator bool() const { return hasValue(); }
    T& value() { return std::get<T>(state_); }
    T& operator*() { return value(); }
    T* operator->() { return &value(); }
    const TableError& error() const { return std::get<TableError>(state_); }

private:
    std::variant<T, TableError> state_;
};

} // namespace velmora
