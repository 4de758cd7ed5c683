// The code table reader against any bytes at all. Beyond not crashing, it checks these
// properties: the same bytes read through a tiny read buffer and through a large one give the
// same records; every code and description comes out as valid UTF-8 (by a check of the test's
// own) and no code is held beyond what an entry could equal; skipping a description, as the
// search does, keeps the pairing of the records after it; and the same bytes read as a UTF-16
// table give what their UTF-8 form, converted here apart from the program, gives.

#include "core/code_table.hpp"
#include "utf8_reference.hpp"

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

// UTF-16 to UTF-8 for the comparison: the code points first, then their bytes. A surrogate
// without its partner and an odd last byte are U+FFFD.
std::string utf16AsUtf8(std::string_view bytes, bool bigEndian) {
    const auto unit = [&](std::size_t index) {
        const auto first = static_cast<std::uint8_t>(bytes[2 * index]);
        const auto second = static_cast<std::uint8_t>(bytes[2 * index + 1]);
        return bigEndian ? std::uint32_t{first} << 8U | second
                         : std::uint32_t{second} << 8U | first;
    };
    const auto isHigh = [](std::uint32_t u) {
        return u >= 0xD800 && u <= 0xDBFF;
    };
    const auto isLow = [](std::uint32_t u) {
        return u >= 0xDC00 && u <= 0xDFFF;
    };
    std::vector<std::uint32_t> points;
    const std::size_t units = bytes.size() / 2;
    for (std::size_t i = 0; i < units; ++i) {
        const std::uint32_t u = unit(i);
        if (isHigh(u) && i + 1 < units && isLow(unit(i + 1))) {
            points.push_back(0x10000 + ((u - 0xD800) << 10U) + (unit(i + 1) - 0xDC00));
            ++i;
        } else {
            points.push_back(isHigh(u) || isLow(u) ? 0xFFFD : u);
        }
    }
    if (bytes.size() % 2 != 0) {
        points.push_back(0xFFFD);
    }
    std::string out;
    for (const std::uint32_t cp : points) {
        const int length = cp < 0x80 ? 1 : cp < 0x800 ? 2 : cp < 0x10000 ? 3 : 4;
        static constexpr unsigned kLeadMarks[] = {0, 0, 0xC0, 0xE0, 0xF0};
        const unsigned shift = 6U * static_cast<unsigned>(length - 1);
        out += static_cast<char>(length == 1 ? cp : kLeadMarks[length] | cp >> shift);
        for (int k = length - 2; k >= 0; --k) {
            out += static_cast<char>(0x80U | ((cp >> (6U * static_cast<unsigned>(k))) & 0x3FU));
        }
    }
    return out;
}

// Reads `bytes` at two read sizes, checks that they agree and that every field is valid UTF-8
// of bounded size, and returns the records.
std::vector<velmora::Record> readChecked(const std::string& bytes, std::size_t tiny) {
    auto small = velmora::readAllRecords(bytes, tiny);
    const auto large = velmora::readAllRecords(bytes, std::size_t{1} << 16);
    require(small == large);
    for (const auto& record : large) {
        require(referenceUtf8Valid(record.code));
        require(referenceUtf8Valid(record.description));
        // Kept bytes only, each at most three bytes once read as Windows-1252.
        require(record.code.size() <= 3 * velmora::CodeTableReader::kLongestCode);
    }
    return small;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    // Read sizes 1 to 7 move the buffer's edges to every place in short inputs.
    const std::size_t tiny = 1 + (size > 0 ? data[size / 2] % 7 : 0);
    const auto large = readChecked(bytes, tiny);

    // Every other description skipped: the codes and the kept descriptions stay the same.
    velmora::CodeTableReader reader(std::make_unique<velmora::MemorySource>(bytes), {}, tiny);
    std::size_t index = 0;
    while (!reader.atEnd()) {
        require(index < large.size());
        require(reader.readCode() == large[index].code);
        if (index % 2 == 0) {
            reader.skipDescription();
        } else {
            require(reader.readDescription() == large[index].description);
        }
        ++index;
    }
    require(index == large.size());

    // The same bytes as the body of a UTF-16 table, in both byte orders.
    for (const bool bigEndian : {false, true}) {
        const std::string mark = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
        const auto asUtf16 = readChecked(mark + bytes, tiny);
        const auto asUtf8 = readChecked("\xEF\xBB\xBF" + utf16AsUtf8(bytes, bigEndian), tiny);
        require(asUtf16 == asUtf8);
    }
    return 0;
}
