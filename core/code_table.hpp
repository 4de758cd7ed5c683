#pragma once

#include "core/table_error.hpp"

#include <concepts>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace velmora {

inline constexpr std::string_view kTableFileName = "RPO.txt";

// Where the bytes of a code table come from: a file, or memory for tests and fuzzing.
class ByteSource {
public:
    ByteSource() = default;
    ByteSource(const ByteSource&) = delete;
    ByteSource& operator=(const ByteSource&) = delete;
    ByteSource(ByteSource&&) = delete;
    ByteSource& operator=(ByteSource&&) = delete;
    virtual ~ByteSource() = default;
    // Reads up to `capacity` bytes; 0 means the end of the data or a failure.
    virtual std::size_t read(char* destination, std::size_t capacity) = 0;
    virtual bool failed() const { return false; }
    // Whether the data ended before the size it had at the start: a file cut short meanwhile.
    virtual bool cutShort() const { return false; }
    // Whether seek can go back to `offset` bytes from the start, so that a field can be read twice.
    virtual bool canSeek() const { return false; }
    virtual bool seek(std::uint64_t /*offset*/) { return false; }
};

class MemorySource final : public ByteSource {
public:
    explicit MemorySource(std::string bytes) : bytes_(std::move(bytes)) {}
    std::size_t read(char* destination, std::size_t capacity) override;
    bool canSeek() const override { return true; }
    bool seek(std::uint64_t offset) override;

private:
    std::string bytes_;
    std::size_t offset_ = 0;
};

struct Record {
    std::string code;
    std::string description;
    friend bool operator==(const Record&, const Record&) = default;
};

// Takes a description piece by piece, as UTF-8 that no piece cuts inside a character. It refers
// to the callable it is made from, which must outlive it, so that it allocates nothing; the
// constraint keeps copies to the copy constructor.
class TextSink {
public:
    template <typename Take>
    requires(!std::same_as<std::remove_cvref_t<Take>, TextSink>)
        // NOLINTNEXTLINE(google-explicit-constructor,bugprone-forwarding-reference-overload)
        TextSink(Take&& take) // cppcheck-suppress noExplicitConstructor
        : callable_(&take), call_([](const void* callable, std::string_view piece) {
              (*static_cast<const std::remove_reference_t<Take>*>(callable))(piece);
          }) {}
    void operator()(std::string_view piece) const { call_(callable_, piece); }

private:
    const void* callable_;
    void (*call_)(const void*, std::string_view);
};

// What the reader noticed about the record it read last, for a table's editor to hear about.
struct RecordNotes {
    // The line the record stands on, counted from 1 (LF, CRLF and CR each end a line).
    std::uint64_t line = 0;
    // The code is longer than any entry can be; only its first bytes were kept.
    bool codeTooLong = false;
    // A quoted field whose closing quote is missing: it ended with its line.
    bool codeQuoteOpen = false;
    bool descriptionQuoteOpen = false;
    // Text other than blanks stood after a closing quote and was dropped.
    bool codeTextDropped = false;
    bool descriptionTextDropped = false;
    // The field was not valid UTF-8 and was read as Windows-1252.
    bool codeWindows1252 = false;
    bool descriptionWindows1252 = false;
};

// How the table's bytes are read: UTF-8 (a field that is not valid UTF-8 as Windows-1252), or
// UTF-16 after its byte-order mark.
enum class TableEncoding { Utf8, Utf16LittleEndian, Utf16BigEndian };

// Reads the code table one record at a time, holding only the current record and one read
// buffer, so its memory stays the same whatever the table's size. The format, one record a line:
// - A line ends at LF, CRLF or CR. Blanks (space, tab) at the start of a line are dropped; a line
//   of nothing but blanks is skipped.
// - A line holds the code, then a comma and the description. A line without a comma is a code
//   with an empty description; further commas belong to the description.
// - A field that starts with a double quote (after the dropped blanks) is quoted: it ends at the
//   closing quote or at the end of its line, whichever comes first, and a doubled quote inside it
//   stands for one quote. Text after the closing quote, up to the field's end, is dropped.
// - An unquoted code runs to the first comma, an unquoted description to the end of the line;
//   blanks around unquoted fields are dropped, quotes inside them are ordinary characters.
// - A leading UTF-8 byte-order mark is ignored. A UTF-16 byte-order mark (FF FE or FE FF) makes
//   the whole table UTF-16, converted to UTF-8 as it is read. A field that is not valid UTF-8 is
//   read as Windows-1252.
//
// Of a longer code only the first kLongestCode bytes are kept (no entry is longer: three
// characters of up to four bytes), and codeTooLong() is set. A description is gathered only when
// asked for; one of up to kPieceSize bytes is judged UTF-8 or Windows-1252 as a whole, a longer
// one a piece of about that size at a time.
//
// Use: while (!reader.atEnd()) { code = reader.readCode(); ... }, then at most one of the
// description's readers. When error() is set after a record was read, the failure cut that
// record short: it must not be shown.
class CodeTableReader {
public:
    // Small enough that each read lands in the processor's cache.
    static constexpr std::size_t kDefaultReadSize = std::size_t{64} * 1024;
    static constexpr std::size_t kLongestCode = 12;
    static constexpr std::size_t kPieceSize = kDefaultReadSize;

    static Expected<CodeTableReader> open(const std::filesystem::path& path,
                                          std::size_t readSize = kDefaultReadSize);
    CodeTableReader(std::unique_ptr<ByteSource> source, std::filesystem::path path,
                    std::size_t readSize = kDefaultReadSize);

    // True when no further record remains, or when reading failed (then error() says why).
    bool atEnd();
    // The next record's code; valid until the next call on the reader.
    std::string_view readCode();
    bool codeTooLong() const { return notes_.codeTooLong; }
    // The description of the record whose code was just read; appended to `out`, so that a line
    // built around it holds it once; or handed to `sink` in pieces as it is read.
    std::string_view readDescription();
    void appendDescription(std::string& out);
    void readDescription(const TextSink& sink);
    void skipDescription();
    // readCode and readDescription in one.
    Record next();

    // Where the description of the record whose code was just read starts, when the source can
    // go back there (not a UTF-16 table), and going back there to read it once more.
    std::optional<std::uint64_t> descriptionStart() const;
    bool returnToDescription(std::uint64_t start);

    // What was noticed about the record read last; its description's notes once it was read.
    const RecordNotes& notes() const { return notes_; }
    // Known once atEnd has been called.
    TableEncoding encoding() const { return encoding_; }
    // Set when the source failed part-way.
    const std::optional<TableError>& error() const { return error_; }

private:
    int peek();
    bool fill();
    void detectEncoding();
    std::size_t findFirstOf(std::string_view stops) const;
    std::size_t findLineEnd() const;
    template <typename FindStop, typename Take> bool scanTo(FindStop findStop, Take take);
    template <typename Take> void takeQuoted(Take take, bool& open);
    template <typename FindStop> bool dropTo(FindStop findStop);
    void readUnquotedCode();

    std::unique_ptr<ByteSource> source_;
    std::filesystem::path path_;
    std::size_t readSize_;
    std::vector<char> buffer_;
    std::size_t pos_ = 0;
    std::size_t end_ = 0;
    // Where buffer_[0] stands in the source.
    std::uint64_t bufferOffset_ = 0;
    bool sourceDone_ = false;
    bool started_ = false;
    bool descriptionPending_ = false;
    // Set after a CR, so that the LF of a CRLF does not count as a second line end.
    bool afterCarriageReturn_ = false;
    // Whether any CR has been read: a table with LF line ends alone looks for LF only.
    bool carriageReturnRead_ = false;
    std::uint64_t line_ = 1;
    TableEncoding encoding_ = TableEncoding::Utf8;
    RecordNotes notes_;
    std::string code_;
    std::string description_;
    // A description's bytes on their way to the caller, kept to serve every record.
    std::string staged_;
    std::optional<TableError> error_;
};

// Reads a whole table into memory; for tests and tools, not for the search.
Expected<std::vector<Record>> readAllRecords(const std::filesystem::path& path);
std::vector<Record> readAllRecords(std::string bytes, std::size_t readSize);

} // namespace velmora
