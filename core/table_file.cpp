#include "core/table_file.hpp"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <memory>
#include <system_error>
#include <vector>

#if defined(_WIN32)
// windows.h comes before the headers that build on it.
// clang-format off
#include <windows.h>
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
// clang-format on
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace velmora {
namespace {

// What an open table file is, as far as opening it is concerned.
struct FileFacts {
    bool regular = false;
    std::uint64_t size = 0;
    FileIdentity identity;
};

#if defined(_WIN32)

int openDescriptor(const std::filesystem::path& path) {
    return _wopen(path.c_str(), _O_RDONLY | _O_BINARY | _O_NOINHERIT | _O_SEQUENTIAL);
}

void closeDescriptor(int descriptor) {
    _close(descriptor);
}

bool seekTo(int descriptor, std::uint64_t offset) {
    return _lseeki64(descriptor, static_cast<__int64>(offset), SEEK_SET) >= 0;
}

long readSome(int descriptor, char* destination, std::size_t capacity) {
    const auto chunk = static_cast<unsigned>(std::min<std::size_t>(capacity, 0x40000000U));
    return _read(descriptor, destination, chunk);
}

std::optional<FileFacts> factsOf(int descriptor) {
    struct _stat64 status {};
    if (_fstat64(descriptor, &status) != 0) {
        return std::nullopt;
    }
    FileFacts facts;
    facts.regular = (status.st_mode & _S_IFMT) == _S_IFREG;
    facts.size = static_cast<std::uint64_t>(status.st_size);
    const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(descriptor));
    BY_HANDLE_FILE_INFORMATION information{};
    if (handle != INVALID_HANDLE_VALUE && GetFileInformationByHandle(handle, &information) != 0) {
        facts.identity = {information.dwVolumeSerialNumber,
                          static_cast<std::uint64_t>(information.nFileIndexHigh) << 32U |
                              information.nFileIndexLow};
    }
    return facts;
}

#else

int openDescriptor(const std::filesystem::path& path) {
    return ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
}

void closeDescriptor(int descriptor) {
    ::close(descriptor);
}

bool seekTo(int descriptor, std::uint64_t offset) {
    return ::lseek(descriptor, static_cast<off_t>(offset), SEEK_SET) >= 0;
}

long readSome(int descriptor, char* destination, std::size_t capacity) {
    return static_cast<long>(::read(descriptor, destination, capacity));
}

std::optional<FileFacts> factsOf(int descriptor) {
    struct stat status {};
    if (::fstat(descriptor, &status) != 0) {
        return std::nullopt;
    }
    FileFacts facts;
    facts.regular = S_ISREG(status.st_mode);
    facts.size = static_cast<std::uint64_t>(status.st_size);
    facts.identity = {static_cast<std::uint64_t>(status.st_dev),
                      static_cast<std::uint64_t>(status.st_ino)};
    return facts;
}

#endif

// Of a file whose size reads 0, as the kernel's files under /proc do, at most this much is read:
// far more than any table, and some such files would give hundreds of gigabytes.
constexpr std::uint64_t kMostUnsized = std::uint64_t{16} << 20;

// The table file, read up to the size it had when it was opened, so that a file another program
// keeps appending to still ends; one that ends sooner was cut short.
class FileSource final : public ByteSource {
public:
    FileSource(int descriptor, std::uint64_t size)
        : descriptor_(descriptor), sized_(size > 0), size_(sized_ ? size : kMostUnsized),
          left_(size_) {}
    FileSource(const FileSource&) = delete;
    FileSource& operator=(const FileSource&) = delete;
    FileSource(FileSource&&) = delete;
    FileSource& operator=(FileSource&&) = delete;
    ~FileSource() override { closeDescriptor(descriptor_); }

    std::size_t read(char* destination, std::size_t capacity) override {
        const auto wanted = static_cast<std::size_t>(std::min<std::uint64_t>(capacity, left_));
        if (wanted == 0 || failed_) {
            return 0;
        }
        for (;;) {
            const long count = readSome(descriptor_, destination, wanted);
            if (count >= 0) {
                left_ -= static_cast<std::uint64_t>(count);
                cutShort_ = count == 0 && sized_;
                return static_cast<std::size_t>(count);
            }
            // A signal that arrives during the read is no fault of the table.
            if (errno != EINTR) {
                failed_ = true;
                return 0;
            }
        }
    }
    bool failed() const override { return failed_; }
    bool cutShort() const override { return cutShort_; }
    bool canSeek() const override { return true; }
    bool seek(std::uint64_t offset) override {
        if (offset > size_ || !seekTo(descriptor_, offset)) {
            return false;
        }
        left_ = size_ - offset;
        return true;
    }

private:
    int descriptor_;
    bool sized_;
    std::uint64_t size_;
    std::uint64_t left_;
    bool failed_ = false;
    bool cutShort_ = false;
};

TableError::Kind kindOfOpenFailure(int cause, const std::filesystem::path& path) {
    switch (cause) {
    case EACCES:
    case EPERM: {
        // Windows refuses to open a folder with "access denied".
        std::error_code ignored;
        return std::filesystem::is_directory(path, ignored) ? TableError::Kind::NotAFile
                                                            : TableError::Kind::AccessDenied;
    }
    case ELOOP:
        return TableError::Kind::LinkLoop;
    case ENAMETOOLONG:
        return TableError::Kind::PathTooLong;
    case ENOENT:
    case ENOTDIR:
        return TableError::Kind::NotFound;
    default: {
        std::error_code ignored;
        return std::filesystem::exists(path, ignored) ? TableError::Kind::ReadFailed
                                                      : TableError::Kind::NotFound;
    }
    }
}

// The folder that holds the running program's executable, or an empty path when the platform
// cannot say.
std::filesystem::path programFolder() {
#if defined(_WIN32)
    // The longest path the system allows.
    std::wstring name(32768, L'\0');
    const DWORD length = GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size()));
    name.resize(length < name.size() ? length : 0);
    return std::filesystem::path(name).parent_path();
#else
    std::error_code failed;
    const auto executable = std::filesystem::read_symlink("/proc/self/exe", failed);
    return failed ? std::filesystem::path{} : executable.parent_path();
#endif
}

} // namespace

std::optional<FileIdentity> identityOfOpenFile(int descriptor) {
    const auto facts = factsOf(descriptor);
    if (!facts || !facts->regular) {
        return std::nullopt;
    }
    return facts->identity;
}

Expected<CodeTableReader> openTable(const std::filesystem::path& path, std::size_t readSize,
                                    const std::optional<FileIdentity>& output) {
    // Opened first and only then looked at, so that what is checked is what is read; without
    // waiting for a writer, as a FIFO in the table's place would.
    errno = 0;
    const int descriptor = openDescriptor(path);
    if (descriptor < 0) {
        return TableError{kindOfOpenFailure(errno, path), path};
    }
    const auto facts = factsOf(descriptor);
    // Not a folder or a device, whose reading may never end; nor the results' file, which would
    // grow without end.
    const bool isOutput = facts && output && facts->identity == *output;
    if (!facts || !facts->regular || isOutput) {
        closeDescriptor(descriptor);
        return TableError{isOutput ? TableError::Kind::IsTheOutput : TableError::Kind::NotAFile,
                          path};
    }
    return CodeTableReader(std::make_unique<FileSource>(descriptor, facts->size), path, readSize);
}

Expected<CodeTableReader> CodeTableReader::open(const std::filesystem::path& path,
                                                std::size_t readSize) {
    return openTable(path, readSize, std::nullopt);
}

std::filesystem::path locateTable(const std::filesystem::path& currentFolder,
                                  const std::filesystem::path& programFolder) {
    std::vector<std::filesystem::path> candidates{currentFolder / kTableFileName};
    if (!programFolder.empty()) {
        candidates.push_back(programFolder / kTableFileName);
        candidates.push_back(programFolder.parent_path() / "share" / "velmora" / kTableFileName);
    }
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

} // namespace velmora
