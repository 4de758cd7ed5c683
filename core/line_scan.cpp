#include "core/line_scan.hpp"

#include <algorithm>
#include <cstring>
#include <limits>

#if (defined(__x86_64__) || defined(__i386__)) && (defined(__GNUC__) || defined(__clang__)) &&     \
    defined(__SSE2__)
// The vector kernels' intrinsics need this processor family and a compiler that takes a
// function's target as an attribute.
#define VELMORA_X86_KERNELS 1 // NOLINT(cppcoreguidelines-macro-usage)
#include <immintrin.h>
#endif

namespace velmora {
namespace {

constexpr std::size_t kBlock = 64;

// Marks the bytes of data[0, size), size at most 64, into one word of each bitmap.
void markBlockPortable(const char* data, std::size_t size, std::uint64_t& lineEnds,
                       std::uint64_t& quotes) {
    std::uint64_t ends = 0;
    std::uint64_t found = 0;
    for (std::size_t i = 0; i < size; ++i) {
        const char c = data[i];
        ends |= static_cast<std::uint64_t>(c == '\n' || c == '\r') << i;
        found |= static_cast<std::uint64_t>(c == '"') << i;
    }
    lineEnds = ends;
    quotes = found;
}

void markPortable(const char* data, std::size_t size, std::uint64_t* lineEnds,
                  std::uint64_t* quotes) {
    for (std::size_t at = 0; at < size; at += kBlock) {
        const std::size_t word = at / kBlock;
        markBlockPortable(data + at, std::min(kBlock, size - at), lineEnds[word], quotes[word]);
    }
}

#if defined(VELMORA_X86_KERNELS)

std::uint64_t maskOf16(__m128i matches) {
    return static_cast<std::uint64_t>(static_cast<unsigned>(_mm_movemask_epi8(matches)));
}

void markSse2(const char* data, std::size_t size, std::uint64_t* lineEnds, std::uint64_t* quotes) {
    const __m128i lineFeed = _mm_set1_epi8('\n');
    const __m128i carriageReturn = _mm_set1_epi8('\r');
    const __m128i quote = _mm_set1_epi8('"');
    std::size_t at = 0;
    for (; size - at >= kBlock; at += kBlock) {
        std::uint64_t ends = 0;
        std::uint64_t found = 0;
        for (std::size_t part = 0; part < 4; ++part) {
            __m128i chunk;
            std::memcpy(&chunk, data + at + part * 16, sizeof chunk);
            const __m128i end = _mm_or_si128(_mm_cmpeq_epi8(chunk, lineFeed),
                                             _mm_cmpeq_epi8(chunk, carriageReturn));
            ends |= maskOf16(end) << (part * 16);
            found |= maskOf16(_mm_cmpeq_epi8(chunk, quote)) << (part * 16);
        }
        lineEnds[at / kBlock] = ends;
        quotes[at / kBlock] = found;
    }
    if (at < size) {
        markBlockPortable(data + at, size - at, lineEnds[at / kBlock], quotes[at / kBlock]);
    }
}

__attribute__((target("avx2"))) std::uint64_t maskOf32(__m256i matches) {
    return static_cast<std::uint64_t>(static_cast<unsigned>(_mm256_movemask_epi8(matches)));
}

__attribute__((target("avx2"))) void markAvx2(const char* data, std::size_t size,
                                              std::uint64_t* lineEnds, std::uint64_t* quotes) {
    const __m256i lineFeed = _mm256_set1_epi8('\n');
    const __m256i carriageReturn = _mm256_set1_epi8('\r');
    const __m256i quote = _mm256_set1_epi8('"');
    std::size_t at = 0;
    for (; size - at >= kBlock; at += kBlock) {
        __m256i low;
        __m256i high;
        std::memcpy(&low, data + at, sizeof low);
        std::memcpy(&high, data + at + 32, sizeof high);
        const std::uint64_t ends =
            maskOf32(_mm256_or_si256(_mm256_cmpeq_epi8(low, lineFeed),
                                     _mm256_cmpeq_epi8(low, carriageReturn))) |
            maskOf32(_mm256_or_si256(_mm256_cmpeq_epi8(high, lineFeed),
                                     _mm256_cmpeq_epi8(high, carriageReturn)))
                << 32U;
        const std::uint64_t found = maskOf32(_mm256_cmpeq_epi8(low, quote)) |
                                    maskOf32(_mm256_cmpeq_epi8(high, quote)) << 32U;
        lineEnds[at / kBlock] = ends;
        quotes[at / kBlock] = found;
    }
    if (at < size) {
        markBlockPortable(data + at, size - at, lineEnds[at / kBlock], quotes[at / kBlock]);
    }
}

bool processorHasAvx2() {
    // The compiler's run-time check also asks the system whether it saves the wide registers.
    __builtin_cpu_init();
    return static_cast<bool>(__builtin_cpu_supports("avx2")) &&
           static_cast<bool>(__builtin_cpu_supports("popcnt")) &&
           static_cast<bool>(__builtin_cpu_supports("bmi"));
}

#endif

} // namespace

bool kernelSupported(ScanKernel kernel) {
#if defined(VELMORA_X86_KERNELS)
    if (kernel == ScanKernel::Avx2) {
        static const bool available = processorHasAvx2();
        return available;
    }
    return true;
#else
    return kernel == ScanKernel::Portable;
#endif
}

ScanKernel fastestKernel() {
#if defined(VELMORA_X86_KERNELS)
    return kernelSupported(ScanKernel::Avx2) ? ScanKernel::Avx2 : ScanKernel::Sse2;
#else
    return ScanKernel::Portable;
#endif
}

void markLineEndsAndQuotes(ScanKernel kernel, const char* data, std::size_t size,
                           std::uint64_t* lineEnds, std::uint64_t* quotes) {
    if (!kernelSupported(kernel)) {
        kernel = ScanKernel::Portable;
    }
    switch (kernel) {
#if defined(VELMORA_X86_KERNELS)
    case ScanKernel::Avx2:
        markAvx2(data, size, lineEnds, quotes);
        return;
    case ScanKernel::Sse2:
        markSse2(data, size, lineEnds, quotes);
        return;
#endif
    default:
        markPortable(data, size, lineEnds, quotes);
        return;
    }
}

void LineIndex::index(const char* data, std::size_t size) {
    size_ = std::min<std::size_t>(size, std::numeric_limits<std::uint32_t>::max());
    words_ = (size_ + kBlock - 1) / kBlock;
    // Kept at the largest size seen, so that a reader's buffers are indexed without allocating.
    if (lineEnds_.size() < words_) {
        lineEnds_.resize(words_);
        quotes_.resize(words_);
    }
    markLineEndsAndQuotes(kernel_, data, size_, lineEnds_.data(), quotes_.data());
    listed_ = false;
}

namespace {

// Lists the places of the marked bits of marks[0, words) in `places`, with room for four places
// more; returns how many there are.
inline std::size_t listMarked(const std::uint64_t* marks, std::size_t words,
                              std::vector<std::uint32_t>& places) {
    std::size_t count = 0;
    for (std::size_t word = 0; word < words; ++word) {
        count += static_cast<std::size_t>(std::popcount(marks[word]));
    }
    if (places.size() < count + 4) {
        places.resize(count + 4);
    }
    std::uint32_t* out = places.data();
    for (std::size_t word = 0; word < words; ++word) {
        std::uint64_t bits = marks[word];
        const auto base = static_cast<std::uint32_t>(word * kBlock);
        const auto found = static_cast<std::size_t>(std::popcount(bits));
        // Most words hold one or two line ends: four places are written whether or not they
        // are there, so that the loop's turns do not depend on how many there are.
        for (std::size_t i = 0; i < 4; ++i) {
            out[i] = base + static_cast<std::uint32_t>(std::countr_zero(bits));
            bits &= bits - 1;
        }
        for (std::size_t i = 4; i < found; ++i) {
            out[i] = base + static_cast<std::uint32_t>(std::countr_zero(bits));
            bits &= bits - 1;
        }
        out += found;
    }
    return count;
}

#if defined(VELMORA_X86_KERNELS)
// The same with the processor's own bit counting, which every processor with AVX2 has.
__attribute__((target("avx2,popcnt,bmi"))) std::size_t
listMarkedAvx2(const std::uint64_t* marks, std::size_t words, std::vector<std::uint32_t>& places) {
    return listMarked(marks, words, places);
}
#endif

} // namespace

void LineIndex::listLineEnds() {
    if (listed_) {
        return;
    }
    listed_ = true;
#if defined(VELMORA_X86_KERNELS)
    if (kernel_ == ScanKernel::Avx2 && kernelSupported(ScanKernel::Avx2)) {
        placeCount_ = listMarkedAvx2(lineEnds_.data(), words_, places_);
        return;
    }
#endif
    placeCount_ = listMarked(lineEnds_.data(), words_, places_);
}

SkippedLines skipLinesThatCannotMatch(const char* data, std::size_t from, LineIndex& index,
                                      const EntryFilter& filter, std::size_t& cursor) {
    const std::size_t end = index.size();
    const std::uint32_t* const places = index.lineEndPlaces();
    const std::size_t count = index.lineEndCount();
    while (cursor < count && places[cursor] < from) {
        ++cursor;
    }
    SkippedLines skipped{from, 0};
    std::size_t at = from;
    while (at < end && cursor < count) {
        if (filter.mayMatch({data + at, std::min<std::size_t>(end - at, 4)})) {
            break;
        }
        // The filter judged the line by a code of printable bytes, so the next line end is
        // this line's.
        const std::size_t lineEnd = places[cursor++];
        at = lineEnd + 1;
        if (data[lineEnd] == '\r') {
            if (at == end) {
                --cursor;
                break;
            }
            if (data[at] == '\n') {
                ++at;
                ++cursor;
            }
        }
        skipped.stop = at;
        ++skipped.lineEnds;
    }
    return skipped;
}

} // namespace velmora
