#pragma once

#include "entry_filter.hpp"
#include "line_scan.hpp"
#include "table_error.hpp"

#include <cstddef>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

// The name of the code table file.
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
    virtual bool failed() const = 0;
};

class MemorySource final : public ByteSource {
public:
    explicit MemorySource(std::string bytes) : bytes_(std::move(bytes)) {}
    std::size_t read(char* destination, std::size_t capacity) override;
    bool failed() const override { return false; }

private:
    std::string bytes_;
    std::size_t offset_ = 0;
};

struct Record {
    std::string code;
    std::string description;
    friend bool operator==(const Record&, const Record&) = default;
};

// Reads the code table one record at a time, holding only the current record and one read
// buffer, so its memory stays the same whatever the table's size.
//
// The format: one record per line, the code, a comma, the description. Either field may stand in
// double quotes, which let it hold commas and line breaks; text after a closing quote up to the
// field's end is dropped. An unquoted description runs to the end of its line, further commas
// included. Blanks around unquoted fields are dropped, blank lines are skipped, line ends are LF,
// CRLF or CR, a leading UTF-8 byte-order mark is ignored. A code with no description is a record
// with an empty description. A field that is not valid UTF-8 is read as Windows-1252.
//
// Use it test-first: while (!reader.atEnd()) { code = reader.readCode(); ... }. After readCode,
// either readDescription or skipDescription; the next atEnd skips it when neither was called.
class CodeTableReader {
public:
    static constexpr std::size_t kDefaultReadSize = std::size_t{256} * 1024;

    static Expected<CodeTableReader> open(const std::filesystem::path& path,
                                          std::size_t readSize = kDefaultReadSize);
    CodeTableReader(std::unique_ptr<ByteSource> source, std::filesystem::path path,
                    std::size_t readSize = kDefaultReadSize);

    CodeTableReader(const CodeTableReader&) = delete;
    CodeTableReader& operator=(const CodeTableReader&) = delete;
    CodeTableReader(CodeTableReader&&) noexcept = default;
    CodeTableReader& operator=(CodeTableReader&&) noexcept = default;
    ~CodeTableReader() = default;

    // True when no further record remains, or when reading failed (then error() says why).
    bool atEnd();
    // The next record's code; valid until the next call on the reader.
    std::string_view readCode();
    // The description of the record whose code was just read.
    std::string_view readDescription();
    // Moves past the description of the record whose code was just read without keeping it.
    void skipDescription();
    // readCode and readDescription in one.
    Record next();

    // From now on atEnd passes over the lines whose code `filter` says can equal no entry, so
    // that the records it delivers are those that may match and those it cannot judge. The
    // filter must outlive the reader's use; nullptr delivers every record again.
    void setEntryFilter(const EntryFilter* filter);

    // Set when the source failed part-way; the records before the failure were delivered.
    const std::optional<TableError>& error() const { return error_; }

private:
    static constexpr std::size_t kUnknown = static_cast<std::size_t>(-1);

    int peek();
    bool fill();
    void skipByteOrderMark();
    void skipBlanks();
    std::size_t findCached(char wanted, std::size_t& cache);
    template <typename FindStop> bool scanTo(std::string* out, FindStop findStop);
    bool scanToLineEnd(std::string* out);
    bool scanToQuote(std::string* out);
    bool scanToFieldEnd(std::string* out);
    void takeDescription(std::string* out);

    std::unique_ptr<ByteSource> source_;
    std::filesystem::path path_;
    std::size_t readSize_;
    std::vector<char> buffer_;
    std::size_t pos_ = 0;
    std::size_t end_ = 0;
    bool sourceDone_ = false;
    bool started_ = false;
    bool descriptionPending_ = false;
    // Where the next quote stands in the buffer (end_ when not in it), so that a table with few
    // quotes is not searched again for each of them.
    std::size_t nextQuote_ = kUnknown;
    std::string code_;
    std::string description_;
    std::optional<TableError> error_;
    const EntryFilter* filter_ = nullptr;
    LineIndex lineIndex_;
    std::size_t lineCursor_ = 0;
};

// Reads a whole table into memory; for tests and tools, not for the search.
Expected<std::vector<Record>> readAllRecords(const std::filesystem::path& path);
std::vector<Record> readAllRecords(std::string bytes, std::size_t readSize);

// Where the table is looked up: RPO.txt in the current folder; where it is not there, beside the
// program; where not there either, in the installed data folder <prefix>/share/velmora beside
// the program's bin folder. The first that exists (a link counts, even a broken one) is used; if
// none does, the current folder's path, so that the error names the place the user is most
// likely to put the file.
std::filesystem::path locateTable(const std::filesystem::path& currentFolder,
                                  const std::filesystem::path& programFolder);
// The same from the process's current folder and the running program's folder.
std::filesystem::path locateTable();

// The folder that holds the running program's executable, or an empty path when the platform
// cannot say.
std::filesystem::path programFolder();

} // namespace velmora
