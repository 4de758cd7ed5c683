#include "core/code_table.hpp"

#include "core/text.hpp"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <system_error>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#endif

namespace velmora {
namespace {

bool isBlank(int c) {
    return c == ' ' || c == '\t';
}
bool isFieldEnd(char c) {
    return c == ',' || c == '\n' || c == '\r';
}

// The first LF or CR (and comma, when `AtComma`) in data[from, to), or `to`. Descriptions are
// skipped by this scan, so it looks at sixteen bytes at a time where the processor allows.
template <bool AtComma> std::size_t findStop(const char* data, std::size_t from, std::size_t to) {
#if defined(__SSE2__) || defined(_M_X64)
    const __m128i lineFeed = _mm_set1_epi8('\n');
    const __m128i carriageReturn = _mm_set1_epi8('\r');
    const __m128i comma = _mm_set1_epi8(',');
    const auto stops = [&](std::size_t at) {
        const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + at));
        __m128i hits =
            _mm_or_si128(_mm_cmpeq_epi8(chunk, lineFeed), _mm_cmpeq_epi8(chunk, carriageReturn));
        if constexpr (AtComma) {
            hits = _mm_or_si128(hits, _mm_cmpeq_epi8(chunk, comma));
        }
        return static_cast<std::uint64_t>(static_cast<unsigned>(_mm_movemask_epi8(hits)));
    };
    // Sixty-four bytes a step: most records are shorter, so the loop rarely turns and its exit
    // is rarely mispredicted.
    while (to - from >= 64) {
        const std::uint64_t hits = stops(from) | stops(from + 16) << 16U | stops(from + 32) << 32U |
                                   stops(from + 48) << 48U;
        if (hits != 0) {
            return from + static_cast<std::size_t>(std::countr_zero(hits));
        }
        from += 64;
    }
    while (to - from >= 16) {
        const std::uint64_t hits = stops(from);
        if (hits != 0) {
            return from + static_cast<std::size_t>(std::countr_zero(hits));
        }
        from += 16;
    }
#endif
    while (from < to && data[from] != '\n' && data[from] != '\r' &&
           (!AtComma || data[from] != ',')) {
        ++from;
    }
    return from;
}

void trimTrailingBlanks(std::string& text, std::size_t from) {
    std::size_t end = text.size();
    while (end > from && isBlank(text[end - 1])) {
        --end;
    }
    text.resize(end);
}

// Valid UTF-8 as it is, anything else read as Windows-1252; true when it was converted.
bool makeUtf8(std::string& text, std::size_t from) {
    if (text::isValidUtf8(std::string_view(text).substr(from))) {
        return false;
    }
    text::windows1252ToUtf8InPlace(text, from);
    return true;
}

// A UTF-16 table as UTF-8, converted read by read, so that the reader above it sees the same
// bytes as from a UTF-8 table and its memory stays flat.
class Utf16Source final : public ByteSource {
public:
    Utf16Source(std::unique_ptr<ByteSource> raw, bool bigEndian, std::string_view alreadyRead)
        : raw_(std::move(raw)), decoder_(bigEndian) {
        decoder_.feed(alreadyRead, converted_);
    }

    std::size_t read(char* destination, std::size_t capacity) override {
        while (offset_ == converted_.size()) {
            if (done_) {
                return 0;
            }
            converted_.clear();
            offset_ = 0;
            rawBytes_.resize(capacity);
            const std::size_t count = raw_->read(rawBytes_.data(), capacity);
            if (count == 0) {
                decoder_.finish(converted_);
                done_ = true;
            } else {
                decoder_.feed(std::string_view(rawBytes_.data(), count), converted_);
            }
        }
        const std::size_t count = std::min(capacity, converted_.size() - offset_);
        std::memcpy(destination, converted_.data() + offset_, count);
        offset_ += count;
        return count;
    }
    bool failed() const override { return raw_->failed(); }

private:
    std::unique_ptr<ByteSource> raw_;
    text::Utf16Decoder decoder_;
    std::vector<char> rawBytes_;
    std::string converted_;
    std::size_t offset_ = 0;
    bool done_ = false;
};
} // namespace

std::size_t MemorySource::read(char* destination, std::size_t capacity) {
    const std::size_t count = std::min(capacity, bytes_.size() - offset_);
    std::memcpy(destination, bytes_.data() + offset_, count);
    offset_ += count;
    return count;
}

CodeTableReader::CodeTableReader(std::unique_ptr<ByteSource> source, std::filesystem::path path,
                                 std::size_t readSize)
    : source_(std::move(source)), path_(std::move(path)),
      readSize_(std::max<std::size_t>(readSize, 1)) {}

bool CodeTableReader::fill() {
    if (sourceDone_) {
        return false;
    }
    if (pos_ > 0) {
        std::copy(buffer_.begin() + static_cast<std::ptrdiff_t>(pos_),
                  buffer_.begin() + static_cast<std::ptrdiff_t>(end_), buffer_.begin());
        end_ -= pos_;
        pos_ = 0;
    }
    if (buffer_.size() < end_ + readSize_) {
        buffer_.resize(end_ + readSize_);
    }
    const std::size_t count = source_->read(buffer_.data() + end_, readSize_);
    if (count == 0) {
        sourceDone_ = true;
        if (source_->failed()) {
            error_ = TableError{TableError::Kind::ReadFailed, path_};
        }
    }
    end_ += count;
    nextQuote_ = kUnknown;
    nextLineEnd_ = kUnknown;
    indexBuffer();
    return count > 0;
}

int CodeTableReader::peek() {
    if (pos_ == end_ && !fill()) {
        return EOF;
    }
    return static_cast<unsigned char>(buffer_[pos_]);
}

void CodeTableReader::detectEncoding() {
    while (end_ - pos_ < 3 && fill()) {
    }
    const std::string_view start(buffer_.data() + pos_, end_ - pos_);
    if (start.starts_with("\xEF\xBB\xBF")) {
        pos_ += 3;
        return;
    }
    const bool littleEndian = start.starts_with("\xFF\xFE");
    if (!littleEndian && !start.starts_with("\xFE\xFF")) {
        return;
    }
    encoding_ = littleEndian ? TableEncoding::Utf16LittleEndian : TableEncoding::Utf16BigEndian;
    source_ = std::make_unique<Utf16Source>(std::move(source_), !littleEndian, start.substr(2));
    pos_ = 0;
    end_ = 0;
    sourceDone_ = error_.has_value();
}

void CodeTableReader::skipBlanks() {
    while (isBlank(peek())) {
        ++pos_;
    }
}

std::size_t CodeTableReader::findQuoteCached() {
    if (nextQuote_ == kUnknown || nextQuote_ < pos_) {
        if (indexed()) {
            nextQuote_ = lineIndex_.nextQuote(pos_);
        } else {
            const void* found = std::memchr(buffer_.data() + pos_, '"', end_ - pos_);
            nextQuote_ =
                found == nullptr
                    ? end_
                    : static_cast<std::size_t>(static_cast<const char*>(found) - buffer_.data());
        }
    }
    return nextQuote_;
}

std::size_t CodeTableReader::findLineEndCached() {
    if (nextLineEnd_ == kUnknown || nextLineEnd_ < pos_) {
        nextLineEnd_ =
            indexed() ? lineIndex_.nextLineEnd(pos_) : findStop<false>(buffer_.data(), pos_, end_);
    }
    return nextLineEnd_;
}

// The first quote or line end from pos_ on, or end_. A code's closing quote stands a few bytes
// on, so those are looked at one by one before the searches that pay off over a long line.
std::size_t CodeTableReader::findQuoteOrLineEnd() {
    static constexpr std::size_t kNearBytes = 16;
    const std::size_t near = std::min(end_, pos_ + kNearBytes);
    for (std::size_t at = pos_; at < near; ++at) {
        const char c = buffer_[at];
        if (c == '"' || c == '\n' || c == '\r') {
            return at;
        }
    }
    return std::min(findQuoteCached(), findLineEndCached());
}

// Moves over the bytes before the first one `findStop` finds, across reads, handing them to
// `take` piece by piece; false when the table ends first. `findStop` returns the stop's place in
// the buffer, or end_ when the buffer holds none.
template <typename FindStop, typename Take>
bool CodeTableReader::scanTo(FindStop findStop, Take take) {
    for (;;) {
        if (pos_ == end_ && !fill()) {
            return false;
        }
        const std::size_t stop = findStop();
        take(std::string_view(buffer_.data() + pos_, stop - pos_));
        pos_ = stop;
        if (stop < end_) {
            return true;
        }
    }
}

// Reads a quoted field after its opening quote, up to its closing quote or its line's end,
// appending no more than `limit` bytes of its value to `out` (when given). Returns the length
// of the whole value; `open` is set when the closing quote is missing.
std::size_t CodeTableReader::takeQuoted(std::string* out, std::size_t limit, bool& open) {
    std::size_t length = 0;
    std::size_t kept = 0;
    const auto keep = [&](std::string_view piece) {
        length += piece.size();
        if (out != nullptr && kept < limit) {
            const std::size_t count = std::min(piece.size(), limit - kept);
            out->append(piece.data(), count);
            kept += count;
        }
    };
    for (;;) {
        const bool stopped = scanTo([this] { return findQuoteOrLineEnd(); }, keep);
        if (!stopped || buffer_[pos_] != '"') {
            open = true;
            return length;
        }
        ++pos_;
        if (peek() != '"') {
            return length;
        }
        ++pos_;
        keep("\"");
    }
}

// Moves to the stop `findStop` finds; true when text other than blanks stood before it.
template <typename FindStop> bool CodeTableReader::dropTo(FindStop findStop) {
    bool dropped = false;
    scanTo(findStop, [&dropped](std::string_view piece) {
        dropped = dropped || piece.find_first_not_of(" \t") != std::string_view::npos;
    });
    return dropped;
}

bool CodeTableReader::atEnd() {
    if (!started_) {
        started_ = true;
        detectEncoding();
    }
    if (descriptionPending_) {
        skipDescription();
    }
    for (;;) {
        while (pos_ < end_) {
            const char c = buffer_[pos_];
            if (c == '\n') {
                line_ += afterCarriageReturn_ ? 0 : 1;
                afterCarriageReturn_ = false;
            } else if (c == '\r') {
                ++line_;
                afterCarriageReturn_ = true;
            } else if (isBlank(c)) {
                afterCarriageReturn_ = false;
            } else {
                afterCarriageReturn_ = false;
                if (!indexing_ || !skipLinesThatCannotMatch()) {
                    return error_.has_value();
                }
                continue;
            }
            ++pos_;
        }
        if (!fill()) {
            return true;
        }
    }
}

std::string_view CodeTableReader::readCode() {
    notes_ = RecordNotes{};
    notes_.line = line_;
    // Most codes end inside the buffer and are valid UTF-8: they are handed out where they
    // stand, without a copy, since the search looks at every code of the table.
    std::string_view inBuffer;
    if (pos_ < end_ && (buffer_[pos_] == '"' ? takeQuotedCodeInBuffer(inBuffer)
                                             : takePlainCodeInBuffer(inBuffer))) {
        return inBuffer;
    }
    code_.clear();
    if (peek() == '"') {
        ++pos_;
        notes_.codeTooLong = takeQuoted(&code_, kLongestCode, notes_.codeQuoteOpen) > kLongestCode;
        if (!notes_.codeQuoteOpen) {
            notes_.codeTextDropped =
                dropTo([this] { return findStop<true>(buffer_.data(), pos_, end_); });
        }
    } else {
        readUnquotedCode();
    }
    descriptionPending_ = peek() == ',';
    if (descriptionPending_) {
        ++pos_;
    }
    if (notes_.codeTooLong) {
        code_.resize(text::lengthWithoutCutSequence(code_));
    }
    notes_.codeWindows1252 = makeUtf8(code_, 0);
    return code_;
}

// An unquoted code whose comma or line end is in the buffer, without its trailing blanks. A code
// of more than kLongestCode bytes that is not plain ASCII takes the whole rule, which cuts it
// between whole characters.
bool CodeTableReader::takePlainCodeInBuffer(std::string_view& code) {
    const char* const first = buffer_.data() + pos_;
    const char* const last = buffer_.data() + end_;
    const char* stop = first;
    bool ascii = true;
    while (stop < last && !isFieldEnd(*stop)) {
        ascii = ascii && static_cast<unsigned char>(*stop) < 0x80;
        ++stop;
    }
    if (stop == last) {
        return false;
    }
    auto length = static_cast<std::size_t>(stop - first);
    while (length > 0 && isBlank(first[length - 1])) {
        --length;
    }
    if (!ascii && length > kLongestCode) {
        return false;
    }
    notes_.codeTooLong = length > kLongestCode;
    code = codeInBuffer({first, std::min(length, kLongestCode)}, ascii, stop);
    return true;
}

// A quoted code with no doubled quote, whose closing quote, the blanks after it and its comma or
// line end are in the buffer, and which is never longer than kLongestCode. Tables that quote
// every code take this way.
bool CodeTableReader::takeQuotedCodeInBuffer(std::string_view& code) {
    const char* const first = buffer_.data() + pos_ + 1;
    const char* const last = buffer_.data() + end_;
    const char* const farthest = std::min(last, first + kLongestCode + 1);
    const char* close = first;
    bool ascii = true;
    while (close < farthest && *close != '"') {
        if (*close == '\n' || *close == '\r') {
            return false;
        }
        ascii = ascii && static_cast<unsigned char>(*close) < 0x80;
        ++close;
    }
    if (close == farthest) {
        return false;
    }
    const char* stop = close + 1;
    while (stop < last && isBlank(*stop)) {
        ++stop;
    }
    // A doubled quote or text after the closing quote takes the whole rule.
    if (stop == last || !isFieldEnd(*stop)) {
        return false;
    }
    code = codeInBuffer({first, static_cast<std::size_t>(close - first)}, ascii, stop);
    return true;
}

// A code read whole from the buffer, ending at `stop` (its comma or line end): handed out where
// it stands when it is valid UTF-8, as most codes are, or else read as Windows-1252 into code_.
std::string_view CodeTableReader::codeInBuffer(std::string_view code, bool ascii,
                                               const char* stop) {
    if (!ascii && !text::isValidUtf8(code)) {
        code_.assign(code);
        text::windows1252ToUtf8InPlace(code_, 0);
        notes_.codeWindows1252 = true;
        code = code_;
    }
    pos_ = static_cast<std::size_t>(stop - buffer_.data());
    descriptionPending_ = *stop == ',';
    if (descriptionPending_) {
        ++pos_;
    }
    return code;
}

// An unquoted code up to its comma or line end, without its trailing blanks. Blanks are kept
// only once a later byte shows that they stand inside the code, and no more than kLongestCode
// bytes are kept of a longer code, however long the field runs.
void CodeTableReader::readUnquotedCode() {
    std::size_t length = 0;
    std::size_t blanks = 0;
    std::size_t kept = 0;
    scanTo([this] { return findStop<true>(buffer_.data(), pos_, end_); },
           [&](std::string_view piece) {
               for (const char c : piece) {
                   if (length > kLongestCode) {
                       return;
                   }
                   if (code_.size() < kLongestCode) {
                       code_ += c;
                   }
                   if (isBlank(c)) {
                       ++blanks;
                   } else {
                       length += blanks + 1;
                       blanks = 0;
                       kept = code_.size();
                   }
               }
           });
    code_.resize(kept);
    notes_.codeTooLong = length > kLongestCode;
}

void CodeTableReader::appendDescription(std::string& out) {
    if (!descriptionPending_) {
        return;
    }
    descriptionPending_ = false;
    const std::size_t from = out.size();
    skipBlanks();
    if (peek() == '"') {
        ++pos_;
        takeQuoted(&out, std::string::npos, notes_.descriptionQuoteOpen);
        if (!notes_.descriptionQuoteOpen) {
            notes_.descriptionTextDropped = dropTo([this] { return findLineEndCached(); });
        }
    } else {
        scanTo([this] { return findLineEndCached(); },
               [&out](std::string_view piece) { out.append(piece); });
        trimTrailingBlanks(out, from);
    }
    notes_.descriptionWindows1252 = makeUtf8(out, from);
}

std::string_view CodeTableReader::readDescription() {
    description_.clear();
    appendDescription(description_);
    return description_;
}

void CodeTableReader::skipDescription() {
    if (!descriptionPending_) {
        return;
    }
    descriptionPending_ = false;
    scanTo([this] { return findLineEndCached(); }, [](std::string_view) {});
}

// Passes over the lines from pos_ on whose code the entry filter says can equal no entry; true
// when it passed at least one.
bool CodeTableReader::skipLinesThatCannotMatch() {
    if (!indexing_) {
        return false;
    }
    // Asked first here, so that a line that may match costs no more than this question.
    if (filter_->mayMatch({buffer_.data() + pos_, std::min<std::size_t>(end_ - pos_, 4)})) {
        ++linesHandedOver_;
        return false;
    }
    const auto skipped =
        velmora::skipLinesThatCannotMatch(buffer_.data(), pos_, lineIndex_, *filter_, lineCursor_);
    line_ += skipped.lineEnds;
    linesPassedOver_ += skipped.lineEnds;
    pos_ = skipped.stop;
    return skipped.lineEnds > 0;
}

void CodeTableReader::setEntryFilter(const EntryFilter* filter) {
    filter_ = filter;
    indexing_ = false;
    pausedBuffers_ = 0;
    indexBuffer();
}

// Indexes the buffer just filled for the entry filter. A table whose lines all need the exact
// reader would pay for the index and gain nothing: after a buffer of many such lines and none
// passed over, the next buffers are read without it, and then it is tried again.
void CodeTableReader::indexBuffer() {
    if (filter_ == nullptr) {
        indexing_ = false;
        return;
    }
    static constexpr std::size_t kLinesToJudge = 64;
    static constexpr unsigned kBuffersWithoutIndex = 64;
    if (indexing_ && linesPassedOver_ == 0 && linesHandedOver_ >= kLinesToJudge) {
        pausedBuffers_ = kBuffersWithoutIndex;
    }
    linesPassedOver_ = 0;
    linesHandedOver_ = 0;
    indexing_ = pausedBuffers_ == 0;
    if (!indexing_) {
        --pausedBuffers_;
        return;
    }
    lineIndex_.index(buffer_.data(), end_);
    lineCursor_ = 0;
}

Record CodeTableReader::next() {
    Record record;
    record.code = readCode();
    appendDescription(record.description);
    return record;
}

Expected<std::vector<Record>> readAllRecords(const std::filesystem::path& path) {
    auto reader = CodeTableReader::open(path);
    if (!reader) {
        return reader.error();
    }
    std::vector<Record> records;
    while (!reader->atEnd()) {
        records.push_back(reader->next());
    }
    if (reader->error()) {
        return *reader->error();
    }
    return records;
}

std::vector<Record> readAllRecords(std::string bytes, std::size_t readSize) {
    CodeTableReader reader(std::make_unique<MemorySource>(std::move(bytes)), {}, readSize);
    std::vector<Record> records;
    while (!reader.atEnd()) {
        records.push_back(reader.next());
    }
    return records;
}

} // namespace velmora
