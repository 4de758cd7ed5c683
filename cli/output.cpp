#include "cli/output.hpp"

#include "core/text.hpp"

#include <cerrno>
#include <utility>

#if defined(_WIN32)
#include <io.h>
#else
#include <unistd.h>
#endif

namespace lookup {
namespace {

constexpr std::size_t kBufferSize = std::size_t{64} * 1024;

// Writes what the system takes in one call; the count written, or -1 with errno set.
long writeSome(int descriptor, const char* data, std::size_t size) {
#if defined(_WIN32)
    const unsigned chunk = size > 0x40000000U ? 0x40000000U : static_cast<unsigned>(size);
    return _write(descriptor, data, chunk);
#else
    return static_cast<long>(::write(descriptor, data, size));
#endif
}

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

// Whether a character could steer a terminal: a control character but tab (an escape sequence
// could recolour or clear the screen), a bidirectional override or isolate, or a byte that is
// not UTF-8 (a lone 0x9B starts a control sequence on some terminals).
bool steersTerminal(char32_t c) {
    return c == velmora::text::kNotUtf8 || (c < 0x20 && c != '\t') || (c >= 0x7F && c < 0xA0) ||
           (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
}

// A line's piece with every character that could steer a terminal as U+FFFD. `held` carries a
// character that the last piece ended inside of into this one.
void showSafely(std::string_view piece, std::string& shown, std::string& held) {
    shown.clear();
    std::string joined;
    if (!held.empty()) {
        joined = std::exchange(held, {}) + std::string(piece);
        piece = joined;
    }
    while (!piece.empty()) {
        if (velmora::text::lengthWithoutCutSequence(piece) == 0) {
            held = piece;
            return;
        }
        const auto [c, length] = velmora::text::firstCharacter(piece);
        shown += steersTerminal(c) ? kReplacement : piece.substr(0, length);
        piece.remove_prefix(length);
    }
}

} // namespace

Output::Output(int descriptor) : descriptor_(descriptor), terminal_(isTerminal(descriptor)) {
    buffer_.reserve(kBufferSize);
}

Output::~Output() {
    drain();
}

void Output::write(std::string_view text) {
    if (buffer_.size() + text.size() > kBufferSize) {
        if (lineOpen_ && lineStart_ != std::string::npos &&
            buffer_.size() - lineStart_ + text.size() <= kBufferSize) {
            // What comes before the open line goes out; the line stays, so it can be dropped.
            writeAll(std::string_view(buffer_).substr(0, lineStart_));
            buffer_.erase(0, lineStart_);
            lineStart_ = 0;
        } else {
            drain();
            lineStart_ = std::string::npos;
        }
    }
    if (text.size() >= kBufferSize) {
        // A long piece goes out as it stands rather than through the buffer.
        writeAll(text);
    } else if (failure_ == 0) {
        buffer_.append(text);
    }
}

void Output::writeLine(std::string_view line) {
    beginLine();
    appendToLine(line);
    endLine();
}

void Output::beginLine() {
    lineOpen_ = true;
    lineStart_ = buffer_.size();
    held_.clear();
}

void Output::appendToLine(std::string_view piece) {
    if (terminal_) {
        showSafely(piece, shown_, held_);
        write(shown_);
    } else {
        write(piece);
    }
}

void Output::endLine() {
    if (!held_.empty()) {
        // A character cut short by the line's end.
        write(kReplacement);
    }
    write("\n");
    lineOpen_ = false;
}

void Output::dropLine() {
    if (lineStart_ != std::string::npos) {
        buffer_.resize(lineStart_);
    }
    lineOpen_ = false;
}

bool Output::flush() {
    drain();
    return failure_ == 0;
}

void Output::drain() {
    writeAll(buffer_);
    buffer_.clear();
}

// After the first failure nothing more is written: it would fail alike, or land behind a gap.
void Output::writeAll(std::string_view bytes) {
    while (!bytes.empty() && failure_ == 0) {
        const long count = writeSome(descriptor_, bytes.data(), bytes.size());
        if (count > 0) {
            bytes.remove_prefix(static_cast<std::size_t>(count));
        } else if (count == 0) {
            failure_ = EIO;
        } else if (errno != EINTR) {
            failure_ = errno;
        }
    }
}

bool isTerminal(int descriptor) {
#if defined(_WIN32)
    return _isatty(descriptor) != 0;
#else
    return ::isatty(descriptor) != 0;
#endif
}

} // namespace lookup
