// The whole search against any entries and any table. The input holds both: its first byte says
// how many entries follow (0 to 15), each entry is a length byte (0 to 4) and that many bytes,
// and the rest is the table. Beyond not crashing, the display box, the entry boxes and the slot
// statuses are what a small model of the search, written here from its rules, gives for the
// records the reader delivers: every non-empty entry gets match lines or one message.

#include "core/code_table.hpp"
#include "core/search.hpp"
#include "core/text.hpp"
#include "recording_slots.hpp"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace {

void require(bool holds) {
    if (!holds) {
        __builtin_trap();
    }
}

// Characters in valid UTF-8: every byte that does not continue a sequence starts one.
std::ptrdiff_t characters(const std::string& utf8) {
    return std::count_if(utf8.begin(), utf8.end(), [](char byte) {
        return (static_cast<unsigned char>(byte) & 0xC0U) != 0x80U;
    });
}

struct Outcome {
    std::vector<std::string> display;
    std::array<std::int16_t, velmora::kSlotCount> status{};
};

// The search's rules, one after the other, over records already read.
Outcome model(const std::array<std::string, velmora::kSlotCount>& entries,
              const std::vector<velmora::Record>& records) {
    Outcome outcome;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        outcome.status[i] = entries[i].empty() ? 0 : characters(entries[i]) < 3 ? 2 : 3;
    }
    for (const auto& record : records) {
        for (std::size_t i = 0; i < entries.size(); ++i) {
            if (record.code == entries[i]) {
                outcome.display.push_back(record.code + "  " + record.description);
                outcome.status[i] = 1;
            }
        }
    }
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (outcome.status[i] >= 2) {
            outcome.display.push_back(entries[i] + (outcome.status[i] == 2
                                                        ? "   : RPO code must be 3 characters."
                                                        : "   : No match found."));
        }
    }
    return outcome;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view input(reinterpret_cast<const char*>(data), size);
    const auto take = [&input](std::size_t count) {
        const std::string_view taken = input.substr(0, count);
        input.remove_prefix(taken.size());
        return std::string(taken);
    };
    const auto byte = [&take] {
        const std::string one = take(1);
        return one.empty() ? 0U : static_cast<unsigned>(static_cast<unsigned char>(one[0]));
    };

    RecordingSlots slots;
    const unsigned count = byte() % 16;
    for (unsigned i = 0; i < count && i < velmora::kSlotCount; ++i) {
        // The boxes hand the search UTF-8; lower case stays, the search upper-cases it.
        slots.boxes[i] = velmora::text::toUtf8(take(byte() % 5));
    }
    const std::size_t readSize = 1 + (input.empty() ? 0 : static_cast<unsigned char>(input[0]) % 9);
    const std::string table(input);

    std::array<std::string, velmora::kSlotCount> entries;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        entries[i] = velmora::text::toUpper(slots.boxes[i]);
    }
    const auto records = velmora::readAllRecords(table, readSize);
    const Outcome expected = model(entries, records);

    const auto result = velmora::rpomodule::search(slots, [&] {
        return velmora::CodeTableReader(std::make_unique<velmora::MemorySource>(table), {},
                                        readSize);
    });
    require(!result.error.has_value());
    require(slots.boxes == entries);
    require(slots.display == expected.display);
    require(result.statuses == expected.status);
    return 0;
}
