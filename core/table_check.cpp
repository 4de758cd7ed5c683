#include "core/table_check.hpp"

#include "core/search.hpp"
#include "core/text.hpp"

#include <cstdint>
#include <numeric>
#include <unordered_map>

namespace velmora {
namespace {

// A record's code and description hashed as one key, taken in pieces (64-bit FNV-1a): the
// code's length first, so that no two different pairs give the same bytes.
class PairHash {
public:
    explicit PairHash(std::string_view code) {
        add(std::string_view(std::string(1, static_cast<char>(code.size()))));
        add(code);
    }
    void add(std::string_view bytes) {
        value_ =
            std::accumulate(bytes.begin(), bytes.end(), value_, [](std::uint64_t value, char byte) {
                return (value ^ static_cast<unsigned char>(byte)) * 0x100000001B3U;
            });
    }
    std::uint64_t value() const { return value_; }

private:
    std::uint64_t value_ = 0xCBF29CE484222325U;
};

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
    const auto find = [&](std::uint64_t line, std::string message) {
        ++summary.findings;
        report(TableFinding{line, std::move(message)});
    };
    // The line each pair was first seen on, by the pair's hash: a few dozen bytes a record, for
    // at most kMostRemembered pairs.
    std::unordered_map<std::uint64_t, std::uint64_t> firstLines;
    bool forgetting = false;
    // Outside the loop, so that its buffer serves every record.
    // cppcheck-suppress variableScope
    std::string code;
    bool atEnd = reader.atEnd();
    if (reader.encoding() != TableEncoding::Utf8) {
        summary.notes.push_back(
            std::string("the table is saved as UTF-16 (") +
            (reader.encoding() == TableEncoding::Utf16LittleEndian ? "little" : "big") +
            "-endian); it is read, but other programs may expect UTF-8");
    }
    for (; !atEnd; atEnd = reader.atEnd()) {
        code = reader.readCode();
        PairHash pair(code);
        bool emptyDescription = true;
        reader.readDescription([&](std::string_view piece) {
            emptyDescription = emptyDescription && piece.empty();
            pair.add(piece);
        });
        if (reader.error()) {
            // The record was cut short: what it seems to hold says nothing about the table.
            break;
        }
        const RecordNotes& notes = reader.notes();
        const std::uint64_t line = notes.line;
        ++summary.records;

        if (notes.codeWindows1252 || notes.descriptionWindows1252) {
            find(line, "the line is not valid UTF-8 and is read as Windows-1252");
        }
        if (code.empty()) {
            find(line,
                 "the code is empty, so the record is printed once for every empty entry box");
        } else {
            if (notes.codeTooLong || text::letterCount(code) > kCodeLength) {
                find(line, aboutCode(code, notes.codeTooLong,
                                     "is longer than 3 characters, so it never matches"));
            }
            if (text::toUpper(code) != code) {
                find(line, aboutCode(code, notes.codeTooLong,
                                     "has lower-case letters, so it never matches (entries are "
                                     "upper-cased)"));
            }
            if (code.find_first_of(" \t") != std::string::npos) {
                find(line, aboutCode(code, notes.codeTooLong, "has a blank in it"));
            }
        }
        if (notes.codeQuoteOpen) {
            find(line,
                 "the code's closing quote is missing, so the whole line is read as its code");
        }
        if (notes.codeTextDropped) {
            find(line, "text after the code's closing quote is dropped");
        }
        if (notes.descriptionQuoteOpen) {
            find(line, "the description's closing quote is missing; it ends with the line");
        }
        if (notes.descriptionTextDropped) {
            find(line, "text after the description's closing quote is dropped");
        }
        if (emptyDescription) {
            find(line, "the description is empty");
        }
        if (!notes.codeTooLong) {
            const auto first = firstLines.find(pair.value());
            if (first == firstLines.end() && firstLines.size() < kMostRemembered) {
                firstLines.emplace(pair.value(), line);
            } else if (first == firstLines.end()) {
                forgetting = true;
            } else {
                std::string message = "the same code and description as line ";
                message += std::to_string(first->second);
                find(line, std::move(message));
            }
        }
    }
    if (reader.error()) {
        return *reader.error();
    }
    if (forgetting) {
        summary.notes.push_back("only the first " + std::to_string(kMostRemembered) +
                                " different records were remembered: repeats of later ones "
                                "were not looked for");
    }
    return summary;
}

Expected<TableCheckSummary> printTableCheck(CodeTableReader& reader,
                                            const std::filesystem::path& path,
                                            DisplaySurface& display) {
    auto summary = checkTable(reader, [&display](const TableFinding& found) {
        display.printLine("line " + std::to_string(found.line) + ": " + found.message);
    });
    if (!summary.hasValue()) {
        return summary;
    }
    for (const std::string& note : summary.value().notes) {
        display.printLine("note: " + note);
    }
    const auto count = [](std::uint64_t n, const char* one, const char* many) {
        return std::to_string(n) + " " + (n == 1 ? one : many);
    };
    const std::uint64_t findings = summary.value().findings;
    display.printLine(
        (findings == 0 ? std::string("No findings") : count(findings, "finding", "findings")) +
        " in " + count(summary.value().records, "record", "records") + " of " + pathToUtf8(path));
    return summary;
}

} // namespace velmora
