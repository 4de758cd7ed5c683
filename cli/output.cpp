#include "cli/output.hpp"

#include <cerrno>

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

constexpr char kTwoByteLead = '\xC2';

// A line's piece with every control character but tab, C0, DEL and C1 alike, as U+FFFD: an
// escape sequence in a description would otherwise recolour, retitle or clear the user's
// terminal. A C1 control is two bytes, C2 and 80 to 9F: `heldLead` carries a C2 that ended the
// last piece into this one.
void showControlsAsReplacement(std::string_view piece, std::string& shown, bool& heldLead) {
    shown.clear();
    for (const char c : piece) {
        const auto byte = static_cast<unsigned char>(c);
        if (heldLead) {
            heldLead = false;
            if (byte >= 0x80 && byte < 0xA0) {
                shown += kReplacement;
                continue;
            }
            shown += kTwoByteLead;
        }
        if ((byte < 0x20 && byte != '\t') || byte == 0x7F) {
            shown += kReplacement;
        } else if (c == kTwoByteLead) {
            heldLead = true;
        } else {
            shown += c;
        }
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
    heldLeadByte_ = false;
}

void Output::appendToLine(std::string_view piece) {
    if (terminal_) {
        showControlsAsReplacement(piece, shown_, heldLeadByte_);
        write(shown_);
    } else {
        write(piece);
    }
}

void Output::endLine() {
    if (heldLeadByte_) {
        write(std::string_view(&kTwoByteLead, 1));
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

// After the first failure nothing more is written: the rest would fail the same way, or land
// behind a gap.
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
