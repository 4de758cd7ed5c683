#include "cli/output.hpp"

#include <cerrno>
#include <cstring>

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

// The line with every control character but tab, C0, DEL and C1 alike, as U+FFFD: an escape
// sequence in a description would otherwise recolour, retitle or clear the user's terminal.
void showControlsAsReplacement(std::string_view line, std::string& shown) {
    shown.clear();
    for (std::size_t i = 0; i < line.size(); ++i) {
        const auto byte = static_cast<unsigned char>(line[i]);
        if ((byte < 0x20 && byte != '\t') || byte == 0x7F) {
            shown += kReplacement;
        } else if (byte == 0xC2 && i + 1 < line.size() &&
                   static_cast<unsigned char>(line[i + 1]) < 0xA0 &&
                   static_cast<unsigned char>(line[i + 1]) >= 0x80) {
            shown += kReplacement;
            ++i;
        } else {
            shown += line[i];
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
        drain();
    }
    if (text.size() >= kBufferSize) {
        // A long line goes out as it stands rather than through the buffer.
        writeAll(text);
    } else if (failure_ == 0) {
        buffer_.append(text);
    }
}

void Output::writeLine(std::string_view line) {
    if (terminal_) {
        showControlsAsReplacement(line, shown_);
        write(shown_);
    } else {
        write(line);
    }
    write("\n");
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

std::string causeText(int error) {
    return std::strerror(error);
}

} // namespace lookup
