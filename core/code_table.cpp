#include "core/code_table.hpp"

#include "core/text.hpp"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>

namespace velmora {
namespace {

bool isBlank(int c) {
    return c == ' ' || c == '\t';
}

// The bytes of a plain code: printable ASCII but the comma and the quote.
constexpr std::array<bool, 256> kPlainCodeBytes = [] {
    std::array<bool, 256> plain{};
    for (int c = '!'; c <= '~'; ++c) {
        plain[static_cast<std::size_t>(c)] = c != ',' && c != '"';
    }
    return plain;
}();

// Hands a description's bytes on as UTF-8 in pieces of about CodeTableReader::kPieceSize. A
// character cut at a piece's end waits for the next piece; so do the blanks at its end when an
// unquoted field's trailing blanks are dropped (a run longer than a piece goes on at once).
class DescriptionPieces {
public:
    DescriptionPieces(const TextSink& sink, bool dropTrailingBlanks, std::string& staged)
        : sink_(sink), dropTrailingBlanks_(dropTrailingBlanks), staged_(staged) {
        staged_.clear();
    }

    void add(std::string_view bytes) {
        staged_.append(bytes);
        if (staged_.size() >= CodeTableReader::kPieceSize) {
            handOn(false);
        }
    }
    // Hands on the rest; true when any piece was read as Windows-1252.
    bool finish() {
        handOn(true);
        return converted_;
    }

private:
    void handOn(bool last) {
        std::size_t count = staged_.size();
        if (dropTrailingBlanks_) {
            count = staged_.find_last_not_of(" \t") + 1;
        }
        if (!last) {
            if (count == 0) {
                count = staged_.size();
            }
            count = text::lengthWithoutCutSequence(std::string_view(staged_).substr(0, count));
        }
        const std::string_view piece(staged_.data(), count);
        if (text::isValidUtf8(piece)) {
            sink_(piece);
        } else {
            sink_(text::windows1252ToUtf8(piece));
            converted_ = true;
        }
        staged_.erase(0, last ? staged_.size() : count);
    }

    const TextSink& sink_;
    bool dropTrailingBlanks_;
    bool converted_ = false;
    std::string& staged_;
};

// A UTF-16 table as UTF-8, converted read by read.
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
    bool cutShort() const override { return raw_->cutShort(); }

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

bool MemorySource::seek(std::uint64_t offset) {
    offset_ = static_cast<std::size_t>(std::min<std::uint64_t>(offset, bytes_.size()));
    return true;
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
        bufferOffset_ += pos_;
        pos_ = 0;
    }
    if (buffer_.size() < end_ + readSize_) {
        buffer_.resize(end_ + readSize_);
    }
    const std::size_t count = source_->read(buffer_.data() + end_, readSize_);
    carriageReturnRead_ =
        carriageReturnRead_ || std::memchr(buffer_.data() + end_, '\r', count) != nullptr;
    if (count == 0) {
        sourceDone_ = true;
        if (source_->failed() || source_->cutShort()) {
            error_ = TableError{source_->failed() ? TableError::Kind::ReadFailed
                                                  : TableError::Kind::CutShort,
                                path_};
        }
    }
    end_ += count;
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

// The first byte from pos_ on that is one of `stops`, or end_.
std::size_t CodeTableReader::findFirstOf(std::string_view stops) const {
    const char* const first = buffer_.data() + pos_;
    const char* const last = buffer_.data() + end_;
    return static_cast<std::size_t>(std::find_first_of(first, last, stops.begin(), stops.end()) -
                                    buffer_.data());
}

// The first LF or CR from pos_ on, or end_, by memchr: skipped descriptions are most bytes.
std::size_t CodeTableReader::findLineEnd() const {
    const char* const first = buffer_.data() + pos_;
    const auto* lineFeed = static_cast<const char*>(std::memchr(first, '\n', end_ - pos_));
    const char* const stop = lineFeed == nullptr ? buffer_.data() + end_ : lineFeed;
    if (!carriageReturnRead_) {
        return static_cast<std::size_t>(stop - buffer_.data());
    }
    const auto* carriageReturn =
        static_cast<const char*>(std::memchr(first, '\r', static_cast<std::size_t>(stop - first)));
    return static_cast<std::size_t>((carriageReturn == nullptr ? stop : carriageReturn) -
                                    buffer_.data());
}

// Hands the bytes before the stop `findStop` finds (its place in the buffer, or end_) to `take`
// piece by piece, across reads; false when the table ends first.
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
// handing its value to `take` piece by piece; `open` is set when the closing quote is missing.
template <typename Take> void CodeTableReader::takeQuoted(Take take, bool& open) {
    for (;;) {
        const bool stopped = scanTo([this] { return findFirstOf("\"\n\r"); }, take);
        if (!stopped || buffer_[pos_] != '"') {
            open = true;
            return;
        }
        ++pos_;
        if (peek() != '"') {
            return;
        }
        ++pos_;
        take("\"");
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
    if (descriptionPending_ && !carriageReturnRead_) {
        // With LF line ends only, a next line that starts with no blank is the next record.
        const std::size_t lineFeed = findLineEnd();
        if (lineFeed + 1 < end_ && static_cast<unsigned char>(buffer_[lineFeed + 1]) > ' ') {
            descriptionPending_ = false;
            pos_ = lineFeed + 1;
            ++line_;
            return error_.has_value();
        }
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
                return error_.has_value();
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
    // A plain code before its comma, as most are, is handed out where it stands in the buffer.
    const std::size_t plainEnd = std::min(end_, pos_ + kLongestCode + 1);
    std::size_t at = pos_;
    while (at < plainEnd && kPlainCodeBytes[static_cast<unsigned char>(buffer_[at])]) {
        ++at;
    }
    if (at > pos_ && at < plainEnd && buffer_[at] == ',') {
        const std::string_view code(buffer_.data() + pos_, at - pos_);
        pos_ = at + 1;
        descriptionPending_ = true;
        return code;
    }
    code_.clear();
    if (peek() == '"') {
        ++pos_;
        std::size_t length = 0;
        takeQuoted(
            [this, &length](std::string_view piece) {
                length += piece.size();
                code_.append(piece.substr(0, kLongestCode - std::min(kLongestCode, code_.size())));
            },
            notes_.codeQuoteOpen);
        notes_.codeTooLong = length > kLongestCode;
        if (!notes_.codeQuoteOpen) {
            notes_.codeTextDropped = dropTo([this] { return findFirstOf(",\n\r"); });
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
    notes_.codeWindows1252 = !text::isValidUtf8(code_);
    if (notes_.codeWindows1252) {
        text::windows1252ToUtf8InPlace(code_, 0);
    }
    return code_;
}

// An unquoted code up to its comma or line end, without trailing blanks, cut at kLongestCode.
void CodeTableReader::readUnquotedCode() {
    // The code's bytes read, and those up to its last byte other than a blank.
    std::size_t read = 0;
    std::size_t length = 0;
    scanTo([this] { return findFirstOf(",\n\r"); },
           [&](std::string_view piece) {
               code_.append(piece.substr(0, kLongestCode - std::min(code_.size(), kLongestCode)));
               const std::size_t last = piece.find_last_not_of(" \t");
               if (last != std::string_view::npos) {
                   length = read + last + 1;
               }
               read += piece.size();
           });
    code_.resize(std::min(length, kLongestCode));
    notes_.codeTooLong = length > kLongestCode;
}

void CodeTableReader::readDescription(const TextSink& sink) {
    if (!descriptionPending_) {
        return;
    }
    descriptionPending_ = false;
    while (isBlank(peek())) {
        ++pos_;
    }
    const bool quoted = peek() == '"';
    DescriptionPieces pieces(sink, !quoted, staged_);
    const auto take = [&pieces](std::string_view piece) {
        pieces.add(piece);
    };
    if (quoted) {
        ++pos_;
        takeQuoted(take, notes_.descriptionQuoteOpen);
        if (!notes_.descriptionQuoteOpen) {
            notes_.descriptionTextDropped = dropTo([this] { return findLineEnd(); });
        }
    } else {
        scanTo([this] { return findLineEnd(); }, take);
    }
    notes_.descriptionWindows1252 = pieces.finish();
}

void CodeTableReader::appendDescription(std::string& out) {
    readDescription([&out](std::string_view piece) { out.append(piece); });
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
    scanTo([this] { return findLineEnd(); }, [](std::string_view) {});
}

std::optional<std::uint64_t> CodeTableReader::descriptionStart() const {
    if (!descriptionPending_ || !source_->canSeek()) {
        return std::nullopt;
    }
    return bufferOffset_ + pos_;
}

bool CodeTableReader::returnToDescription(std::uint64_t start) {
    if (!source_->seek(start)) {
        return false;
    }
    bufferOffset_ = start;
    pos_ = 0;
    end_ = 0;
    sourceDone_ = false;
    descriptionPending_ = true;
    return true;
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
