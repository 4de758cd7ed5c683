#include "code_table.hpp"

#include "text.hpp"

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
#if defined(_WIN32)
#include <windows.h>
#endif

namespace velmora {
namespace {

class FileSource final : public ByteSource {
public:
    explicit FileSource(std::FILE* file) : file_(file) {}
    FileSource(const FileSource&) = delete;
    FileSource& operator=(const FileSource&) = delete;
    FileSource(FileSource&&) = delete;
    FileSource& operator=(FileSource&&) = delete;
    ~FileSource() override { std::fclose(file_); }

    std::size_t read(char* destination, std::size_t capacity) override {
        const std::size_t count = std::fread(destination, 1, capacity, file_);
        if (count == 0 && std::ferror(file_) != 0) {
            failed_ = true;
        }
        return count;
    }
    bool failed() const override { return failed_; }

private:
    std::FILE* file_;
    bool failed_ = false;
};

std::FILE* openForReading(const std::filesystem::path& path) {
#if defined(_WIN32)
    return _wfopen(path.c_str(), L"rb");
#else
    return std::fopen(path.c_str(), "rb");
#endif
}

bool isBlank(int c) {
    return c == ' ' || c == '\t';
}
bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}
bool isFieldEnd(char c) {
    return c == ',' || c == '\n' || c == '\r';
}

// The first LF or CR in data[from, to), or `to`. Descriptions are skipped by this scan, so it
// looks at sixteen bytes at a time where the processor allows.
std::size_t findLineEnd(const char* data, std::size_t from, std::size_t to) {
#if defined(__SSE2__) || defined(_M_X64)
    const __m128i lineFeed = _mm_set1_epi8('\n');
    const __m128i carriageReturn = _mm_set1_epi8('\r');
    const auto lineEnds = [&](std::size_t at) {
        const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + at));
        return static_cast<std::uint64_t>(static_cast<unsigned>(_mm_movemask_epi8(
            _mm_or_si128(_mm_cmpeq_epi8(chunk, lineFeed), _mm_cmpeq_epi8(chunk, carriageReturn)))));
    };
    // Sixty-four bytes a step: most records are shorter, so the loop rarely turns and its exit
    // is rarely mispredicted.
    while (to - from >= 64) {
        const std::uint64_t hits = lineEnds(from) | lineEnds(from + 16) << 16U |
                                   lineEnds(from + 32) << 32U | lineEnds(from + 48) << 48U;
        if (hits != 0) {
            return from + static_cast<std::size_t>(std::countr_zero(hits));
        }
        from += 64;
    }
    while (to - from >= 16) {
        const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + from));
        const int hits = _mm_movemask_epi8(
            _mm_or_si128(_mm_cmpeq_epi8(chunk, lineFeed), _mm_cmpeq_epi8(chunk, carriageReturn)));
        if (hits != 0) {
            return from + static_cast<std::size_t>(std::countr_zero(static_cast<unsigned>(hits)));
        }
        from += 16;
    }
#endif
    while (from < to && data[from] != '\n' && data[from] != '\r') {
        ++from;
    }
    return from;
}

void trimTrailingBlanks(std::string& text) {
    const auto last = text.find_last_not_of(" \t");
    text.erase(last == std::string::npos ? 0 : last + 1);
}

void makeUtf8(std::string& field) {
    if (!text::isValidUtf8(field)) {
        field = text::windows1252ToUtf8(field);
    }
}

} // namespace

std::size_t MemorySource::read(char* destination, std::size_t capacity) {
    const std::size_t count = std::min(capacity, bytes_.size() - offset_);
    std::memcpy(destination, bytes_.data() + offset_, count);
    offset_ += count;
    return count;
}

Expected<CodeTableReader> CodeTableReader::open(const std::filesystem::path& path,
                                                std::size_t readSize) {
    std::error_code ignored;
    const auto status = std::filesystem::status(path, ignored);
    if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status)) {
        // A folder or a device: opening a folder "succeeds" on some systems and reading a device
        // may never end.
        return TableError{TableError::Kind::NotAFile, path};
    }
    errno = 0;
    std::FILE* file = openForReading(path);
    if (file == nullptr) {
        const int cause = errno;
        if (cause == EACCES || cause == EPERM) {
            return TableError{TableError::Kind::AccessDenied, path};
        }
        if (cause == ENOENT || cause == ENOTDIR || cause == ENAMETOOLONG ||
            !std::filesystem::exists(path, ignored)) {
            return TableError{TableError::Kind::NotFound, path};
        }
        return TableError{TableError::Kind::ReadFailed, path};
    }
    return CodeTableReader(std::make_unique<FileSource>(file), path, readSize);
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
    if (filter_ != nullptr) {
        lineIndex_.index(buffer_.data(), end_);
        lineCursor_ = 0;
    }
    return count > 0;
}

int CodeTableReader::peek() {
    if (pos_ == end_ && !fill()) {
        return EOF;
    }
    return static_cast<unsigned char>(buffer_[pos_]);
}

void CodeTableReader::skipByteOrderMark() {
    while (end_ - pos_ < 3 && fill()) {
    }
    if (end_ - pos_ >= 3 && std::memcmp(buffer_.data() + pos_, "\xEF\xBB\xBF", 3) == 0) {
        pos_ += 3;
    }
}

void CodeTableReader::skipBlanks() {
    while (isBlank(peek())) {
        ++pos_;
    }
}

std::size_t CodeTableReader::findCached(char wanted, std::size_t& cache) {
    if (cache == kUnknown || cache < pos_) {
        const void* found = std::memchr(buffer_.data() + pos_, wanted, end_ - pos_);
        cache = found == nullptr
                    ? end_
                    : static_cast<std::size_t>(static_cast<const char*>(found) - buffer_.data());
    }
    return cache;
}

// Moves over the bytes before the first one `findStop` finds, across reads, appending them to
// `out` when given; false when the table ends first. `findStop` returns the stop's place in the
// buffer, or end_ when the buffer holds none.
template <typename FindStop> bool CodeTableReader::scanTo(std::string* out, FindStop findStop) {
    for (;;) {
        if (pos_ == end_ && !fill()) {
            return false;
        }
        const std::size_t stop = findStop();
        if (out != nullptr) {
            out->append(buffer_.data() + pos_, stop - pos_);
        }
        pos_ = stop;
        if (stop < end_) {
            return true;
        }
    }
}

bool CodeTableReader::scanToLineEnd(std::string* out) {
    return scanTo(out, [this] { return findLineEnd(buffer_.data(), pos_, end_); });
}

bool CodeTableReader::scanToQuote(std::string* out) {
    return scanTo(out, [this] { return findCached('"', nextQuote_); });
}

bool CodeTableReader::scanToFieldEnd(std::string* out) {
    return scanTo(out, [this] {
        std::size_t stop = pos_;
        while (stop < end_ && !isFieldEnd(buffer_[stop])) {
            ++stop;
        }
        return stop;
    });
}

bool CodeTableReader::atEnd() {
    if (!started_) {
        started_ = true;
        skipByteOrderMark();
    }
    if (descriptionPending_) {
        skipDescription();
    }
    for (;;) {
        while (pos_ < end_ && isSpace(buffer_[pos_])) {
            ++pos_;
        }
        if (pos_ < end_) {
            if (filter_ != nullptr) {
                const auto skipped = skipLinesThatCannotMatch(buffer_.data(), pos_, lineIndex_,
                                                              *filter_, lineCursor_);
                if (skipped.stop != pos_) {
                    pos_ = skipped.stop;
                    continue;
                }
            }
            return error_.has_value();
        }
        if (!fill()) {
            return true;
        }
    }
}

std::string_view CodeTableReader::readCode() {
    // Most codes are plain ASCII and end inside the buffer: they are handed out where they
    // stand, without a copy, since the search looks at every code of the table.
    const char* const first = buffer_.data() + pos_;
    const char* const last = buffer_.data() + end_;
    if (first < last && *first != '"') {
        const char* stop = first;
        bool ascii = true;
        while (stop < last && !isFieldEnd(*stop)) {
            ascii = ascii && static_cast<unsigned char>(*stop) < 0x80;
            ++stop;
        }
        if (stop < last && ascii) {
            const char* trimmed = stop;
            while (trimmed > first && isBlank(trimmed[-1])) {
                --trimmed;
            }
            pos_ = static_cast<std::size_t>(stop - buffer_.data());
            descriptionPending_ = *stop == ',';
            if (descriptionPending_) {
                ++pos_;
            }
            return {first, static_cast<std::size_t>(trimmed - first)};
        }
    }
    code_.clear();
    if (peek() == '"') {
        ++pos_;
        if (scanToQuote(&code_)) {
            ++pos_;
        }
        scanToFieldEnd(nullptr);
    } else {
        scanToFieldEnd(&code_);
        trimTrailingBlanks(code_);
    }
    descriptionPending_ = peek() == ',';
    if (descriptionPending_) {
        ++pos_;
    }
    makeUtf8(code_);
    return code_;
}

void CodeTableReader::takeDescription(std::string* out) {
    if (!descriptionPending_) {
        return;
    }
    descriptionPending_ = false;
    skipBlanks();
    if (peek() == '"') {
        ++pos_;
        if (scanToQuote(out)) {
            ++pos_;
        }
        scanToLineEnd(nullptr);
    } else {
        scanToLineEnd(out);
        if (out != nullptr) {
            trimTrailingBlanks(*out);
        }
    }
}

std::string_view CodeTableReader::readDescription() {
    description_.clear();
    takeDescription(&description_);
    makeUtf8(description_);
    return description_;
}

void CodeTableReader::skipDescription() {
    takeDescription(nullptr);
}

void CodeTableReader::setEntryFilter(const EntryFilter* filter) {
    filter_ = filter;
    if (filter_ != nullptr) {
        lineIndex_.index(buffer_.data(), end_);
        lineCursor_ = 0;
    }
}

Record CodeTableReader::next() {
    Record record;
    record.code = readCode();
    record.description = readDescription();
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

namespace {

std::vector<std::filesystem::path> tableCandidates(const std::filesystem::path& currentFolder,
                                                   const std::filesystem::path& programFolder) {
    std::vector<std::filesystem::path> candidates{currentFolder / kTableFileName};
    if (!programFolder.empty()) {
        candidates.push_back(programFolder / kTableFileName);
        candidates.push_back(programFolder.parent_path() / "share" / "velmora" / kTableFileName);
    }
    return candidates;
}

} // namespace

std::filesystem::path locateTable(const std::filesystem::path& currentFolder,
                                  const std::filesystem::path& programFolder) {
    const auto candidates = tableCandidates(currentFolder, programFolder);
    for (const auto& candidate : candidates) {
        // A link counts even when what it points to is gone: the user put a table there, and the
        // error should name it rather than a table found further on.
        std::error_code ignored;
        if (std::filesystem::exists(std::filesystem::symlink_status(candidate, ignored))) {
            return candidate;
        }
    }
    return candidates.front();
}

std::filesystem::path locateTable() {
    std::error_code noFolder;
    const auto currentFolder = std::filesystem::current_path(noFolder);
    return locateTable(noFolder ? std::filesystem::path(".") : currentFolder, programFolder());
}

std::filesystem::path programFolder() {
#if defined(_WIN32)
    std::wstring name(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size()));
        if (length == 0) {
            return {};
        }
        if (length < name.size()) {
            name.resize(length);
            break;
        }
        name.resize(name.size() * 2);
    }
    return std::filesystem::path(name).parent_path();
#else
    std::error_code failed;
    const auto executable = std::filesystem::read_symlink("/proc/self/exe", failed);
    return failed ? std::filesystem::path{} : executable.parent_path();
#endif
}

} // namespace velmora
