#pragma once

#include <string>
#include <string_view>

namespace lookup {

// A buffered writer on standard output or standard error by the system's own write, so that every
// failure is seen with its cause. On a terminal, the characters of table or user text that could
// steer it are shown as U+FFFD; to a file or a pipe the text goes byte for byte.
class Output {
public:
    explicit Output(int descriptor);
    Output(const Output&) = delete;
    Output& operator=(const Output&) = delete;
    Output(Output&&) = delete;
    Output& operator=(Output&&) = delete;
    ~Output();

    // Writes the program's own text as it is.
    void write(std::string_view text);
    // Writes one line of UTF-8 text from the table or the user, and its line end.
    void writeLine(std::string_view line);
    // The same line in pieces: begun, appended to, then ended or dropped. A dropped line of up to
    // 64 KiB is taken back whole; of a longer one, what has gone out stays, without a line end.
    void beginLine();
    void appendToLine(std::string_view piece);
    void endLine();
    void dropLine();
    // Hands everything written so far to the system; false when any write has failed.
    bool flush();
    // Why the first failed write failed, as an errno value; 0 while none has failed.
    int failure() const { return failure_; }

private:
    void drain();
    void writeAll(std::string_view bytes);

    int descriptor_;
    bool terminal_;
    std::string buffer_;
    std::string shown_;
    bool lineOpen_ = false;
    // Where the open line starts in the buffer; npos once some of it has gone out.
    std::size_t lineStart_ = 0;
    // On a terminal, the bytes of a character that the last piece ended inside of.
    std::string held_;
    int failure_ = 0;
};

// Whether `descriptor` (0 for standard input) is a terminal.
bool isTerminal(int descriptor);

} // namespace lookup
