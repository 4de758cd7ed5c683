#include "core/table_check.hpp"

#include "core/search.hpp"
#include "core/table_file.hpp"
#include "core/text.hpp"

#include <functional>
#include <unordered_map>

namespace velmora {
namespace {

// A record's code and description as one key: the code's length first, so that no two
// different pairs give the same key.
void pairKey(std::string& key, std::string_view code, std::string_view description) {
    key.assign(1, static_cast<char>(code.size()));
    key += code;
    key += description;
}

// "the code "L98X" ...", with "..." after the kept bytes of a code cut short. Built by
// appending: GCC 12 warns falsely about a literal added before a temporary string.
std::string aboutCode(std::string_view code, bool cut, std::string_view rest) {
    std::string text = "the code \"";
    text += code;
    text += cut ? "...\" " : "\" ";
    text += rest;
    return text;
}

} // namespace

Expected<TableCheckSummary> checkTable(CodeTableReader& reader, const FindingSink& report) {
    TableCheckSummary summary;
    std::uint64_t line = 0;
    const auto find = [&](std::string message) {
        ++summary.findings;
        report(TableFinding{line, std::move(message)});
    };
    // The line each pair was first seen on, by the pair's hash: a few dozen bytes a record.
    std::unordered_map<std::size_t, std::uint64_t> firstLines;
    // Outside the loop, so that their buffers serve every record.
    // cppcheck-suppress variableScope
    std::string code;
    // cppcheck-suppress variableScope
    std::string key;
    bool atEnd = reader.atEnd();
    if (reader.encoding() != TableEncoding::Utf8) {
        line = 1;
        find(std::string("the table is saved as UTF-16 (") +
             (reader.encoding() == TableEncoding::Utf16LittleEndian ? "little" : "big") +
             "-endian); it is read, but other programs may expect UTF-8");
    }
    for (; !atEnd; atEnd = reader.atEnd()) {
        code = reader.readCode();
        const std::string_view description = reader.readDescription();
        const RecordNotes& notes = reader.notes();
        line = notes.line;
        ++summary.records;

        if (notes.codeWindows1252 || notes.descriptionWindows1252) {
            find("the line is not valid UTF-8 and is read as Windows-1252");
        }
        if (code.empty()) {
            find("the code is empty, so the record is printed once for every empty entry box");
        } else {
            if (notes.codeTooLong || text::characterCount(code) > kCodeLength) {
                find(aboutCode(code, notes.codeTooLong,
                               "is longer than 3 characters, so it never matches"));
            }
            if (text::toUpper(code) != code) {
                find(aboutCode(code, notes.codeTooLong,
                               "has lower-case letters, so it never matches (entries are "
                               "upper-cased)"));
            }
            if (code.find_first_of(" \t") != std::string::npos) {
                find(aboutCode(code, notes.codeTooLong, "has a blank in it"));
            }
        }
        if (notes.codeQuoteOpen) {
            find("the code's closing quote is missing, so the whole line is read as its code");
        }
        if (notes.codeTextDropped) {
            find("text after the code's closing quote is dropped");
        }
        if (notes.descriptionQuoteOpen) {
            find("the description's closing quote is missing; it ends with the line");
        }
        if (notes.descriptionTextDropped) {
            find("text after the description's closing quote is dropped");
        }
        if (description.empty()) {
            find("the description is empty");
        }
        if (!notes.codeTooLong) {
            pairKey(key, code, description);
            const auto [first, added] = firstLines.try_emplace(std::hash<std::string>{}(key), line);
            if (!added) {
                std::string message = "the same code and description as line ";
                message += std::to_string(first->second);
                find(std::move(message));
            }
        }
    }
    if (reader.error()) {
        return *reader.error();
    }
    return summary;
}

Expected<TableCheckSummary> checkTable(const std::filesystem::path& path,
                                       const FindingSink& report) {
    auto reader = openTable(path);
    if (!reader) {
        return reader.error();
    }
    return checkTable(*reader, report);
}

std::string describeCheck(const TableCheckSummary& summary, const std::filesystem::path& path) {
    const auto count = [](std::uint64_t n, const char* one, const char* many) {
        return std::to_string(n) + " " + (n == 1 ? one : many);
    };
    return (summary.findings == 0 ? std::string("No findings")
                                  : count(summary.findings, "finding", "findings")) +
           " in " + count(summary.records, "record", "records") + " of " + pathToUtf8(path);
}

} // namespace velmora
