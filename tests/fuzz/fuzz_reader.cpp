// The code table reader against any bytes: beyond not crashing, a tiny and a large read size give
// the same records, every field is valid UTF-8 (by the test's own check), no code is held beyond
// what an entry could equal, and skipping a description keeps the pairing of those after it.

#include "core/code_table.hpp"
#include "utf8_reference.hpp"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace {

void require(bool holds) {
    if (!holds) {
        __builtin_trap();
    }
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
    return 0;
}
