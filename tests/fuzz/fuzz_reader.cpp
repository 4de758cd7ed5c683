// The code table reader against any bytes at all. Beyond not crashing, it checks two properties:
// the same bytes read through a tiny read buffer and through a large one give the same records,
// and every code and description comes out as valid UTF-8. It also checks that skipping a
// description, as the search does, keeps the pairing of the records after it.

#include "code_table.hpp"
#include "text.hpp"

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

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    // Read sizes 1 to 7 move the buffer's edges to every place in short inputs.
    const std::size_t tiny = 1 + (size > 0 ? data[size / 2] % 7 : 0);
    const auto small = velmora::readAllRecords(bytes, tiny);
    const auto large = velmora::readAllRecords(bytes, std::size_t{1} << 16);
    require(small == large);
    for (const auto& record : large) {
        require(velmora::text::isValidUtf8(record.code));
        require(velmora::text::isValidUtf8(record.description));
    }

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
