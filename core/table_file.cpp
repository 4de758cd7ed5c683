#include "table_file.hpp"

#include <cerrno>
#include <cstdio>
#include <memory>
#include <system_error>
#include <vector>

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

Expected<CodeTableReader> openTable(const std::filesystem::path& path, std::size_t readSize) {
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

Expected<CodeTableReader> CodeTableReader::open(const std::filesystem::path& path,
                                                std::size_t readSize) {
    return openTable(path, readSize);
}

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
