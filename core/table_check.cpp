#include "core/table_check.hpp"

#include "core/search.hpp"
#include "core/table_file.hpp"
#include "core/text.hpp"

#include <numeric>
#include <vector>

namespace velmora {
namespace {

std::uint64_t mix(std::uint64_t h) {
    h ^= h >> 30U;
    h *= 0xBF58476D1CE4E5B9ULL;
    h ^= h >> 27U;
    h *= 0x94D049BB133111EBULL;
    return h ^ (h >> 31U);
}

std::uint64_t hashBytes(std::string_view bytes, std::uint64_t seed) {
    const std::uint64_t h =
        std::accumulate(bytes.begin(), bytes.end(), seed, [](std::uint64_t sum, char c) {
            return (sum ^ static_cast<unsigned char>(c)) * 0x100000001B3ULL;
        });
    return mix(h ^ bytes.size());
}

// The lines seen so far, by a 64-bit hash of their code and description, in one flat table kept
// at most half full: no allocation per record, 32 bytes a record at most.
class PairIndex {
public:
    // The line where a pair of the same hash was first seen, or 0 when the pair is new (it is
    // then remembered as standing on `line`).
    std::uint64_t firstLine(std::uint64_t hash, std::uint64_t line) {
        if (2 * (used_ + 1) > slots_.size()) {
            grow();
        }
        Slot& slot = find(slots_, hash);
        if (slot.line != 0) {
            return slot.line;
        }
        slot = {hash, line};
        ++used_;
        return 0;
    }

private:
    struct Slot {
        std::uint64_t hash = 0;
        std::uint64_t line = 0; // 0: empty
    };

    static Slot& find(std::vector<Slot>& slots, std::uint64_t hash) {
        const std::size_t mask = slots.size() - 1;
        for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
            if (slots[i].line == 0 || slots[i].hash == hash) {
                return slots[i];
            }
        }
    }

    void grow() {
        std::vector<Slot> larger(slots_.size() * 2);
        for (const Slot& slot : slots_) {
            if (slot.line != 0) {
                find(larger, slot.hash) = slot;
            }
        }
        slots_ = std::move(larger);
    }

    std::vector<Slot> slots_ = std::vector<Slot>(1024);
    std::size_t used_ = 0;
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
    std::uint64_t line = 0;
    const auto find = [&](std::string message) {
        ++summary.findings;
        report(TableFinding{line, std::move(message)});
    };
    PairIndex pairs;
    // Outside the loop, so that its buffer serves every record.
    // cppcheck-suppress variableScope
    std::string code;
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
            const std::uint64_t hash =
                hashBytes(description, hashBytes(code, 0xCBF29CE484222325ULL));
            if (const std::uint64_t earlier = pairs.firstLine(hash, line); earlier != 0) {
                std::string message = "the same code and description as line ";
                message += std::to_string(earlier);
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
