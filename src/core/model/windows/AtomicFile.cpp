// Whole-file reading and crash-safe writing on Windows. The file is read and written through
// the C runtime's descriptors, so that a failure is told with the same words as on other
// systems ("No such file or directory"); the replacement itself is the system's.

#include "model/AtomicFile.h"

#include "windows/WindowsText.h"

#include <windows.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <io.h>
#include <random>
#include <sys/stat.h>

namespace zembra {

namespace {

std::string Reason(const char* what, int err)
{
    return std::string(what) + ": " + std::strerror(err);
}

class FileDescriptor {
public:
    explicit FileDescriptor(int fd)
        : m_fd(fd)
    {
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor()
    {
        if (m_fd >= 0) {
            ::_close(m_fd);
        }
    }
    int get() const { return m_fd; }
    int release()
    {
        const int fd = m_fd;
        m_fd = -1;
        return fd;
    }

private:
    int m_fd;
};

bool WriteAll(int fd, std::string_view bytes, int& err)
{
    const char* data = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        const unsigned chunk = left > (1u << 30) ? (1u << 30) : static_cast<unsigned>(left);
        const int written = ::_write(fd, data, chunk);
        if (written < 0) {
            err = errno;
            return false;
        }
        data += written;
        left -= static_cast<std::size_t>(written);
    }
    return true;
}

// A new file beside the target, opened for writing; no other process can have it.
int CreateTemporaryBeside(const std::wstring& target, std::wstring& name)
{
    std::random_device random;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        wchar_t suffix[16];
        ::swprintf(suffix, 16, L".%08x", static_cast<unsigned>(random()));
        name = target + suffix;
        fd = ::_wopen(name.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT,
                      _S_IREAD | _S_IWRITE);
        if (fd < 0 && errno != EEXIST) {
            break;
        }
    }
    return fd;
}

// Puts the new file in the target's place. An existing file is replaced with ReplaceFileW,
// which keeps its access rights, and its attributes are set again (not every implementation of
// ReplaceFileW carries them over): the counterpart of keeping the permission bits.
bool Replace(const std::wstring& temporary, const std::wstring& target, std::string& error)
{
    const DWORD attributes = ::GetFileAttributesW(target.c_str());
    const bool existingFile =
        attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
    const BOOL done = existingFile
                          ? ::ReplaceFileW(target.c_str(), temporary.c_str(), nullptr,
                                           REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)
                          : ::MoveFileExW(temporary.c_str(), target.c_str(),
                                          MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!done) {
        error = "cannot replace the file: " + SystemErrorText(::GetLastError());
        return false;
    }
    if (existingFile) {
        ::SetFileAttributesW(target.c_str(), attributes);
    }
    return true;
}

} // namespace

bool ReadWholeFile(const std::string& path, std::string& bytes, std::string& error)
{
    FileDescriptor fd(::_wopen(Utf8ToWide(path).c_str(), _O_RDONLY | _O_BINARY | _O_NOINHERIT));
    if (fd.get() < 0) {
        // Windows refuses to open a folder as a file with "access denied"; say what it is.
        const DWORD attributes = ::GetFileAttributesW(Utf8ToWide(path).c_str());
        const bool folder =
            attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        error = std::strerror(folder ? EISDIR : errno);
        return false;
    }
    std::string result;
    char buffer[65536];
    for (;;) {
        const int got = ::_read(fd.get(), buffer, sizeof buffer);
        if (got < 0) {
            error = std::strerror(errno);
            return false;
        }
        if (got == 0) {
            break;
        }
        if (result.size() + static_cast<std::size_t>(got) > kMaxReadSize) {
            error = "the file is larger than " + std::to_string(kMaxReadSize / (1024 * 1024))
                    + " MB, far beyond any alarm list";
            return false;
        }
        result.append(buffer, static_cast<std::size_t>(got));
    }
    bytes = std::move(result);
    return true;
}

bool WriteFileAtomically(const std::string& path, std::string_view bytes, std::string& error)
{
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::path target(Utf8ToWide(path));
    if (fs::is_symlink(target, ec)) {
        const fs::path resolved = fs::weakly_canonical(target, ec);
        if (!ec) {
            target = resolved;
        }
    }
    std::wstring temporary;
    FileDescriptor fd(CreateTemporaryBeside(target.wstring(), temporary));
    if (fd.get() < 0) {
        error = Reason("cannot create a file in its folder", errno);
        return false;
    }
    const auto fail = [&](const char* what, int err) {
        ::_close(fd.release());
        ::_wunlink(temporary.c_str());
        error = Reason(what, err);
        return false;
    };
    int err = 0;
    if (!WriteAll(fd.get(), bytes, err)) {
        return fail("cannot write", err);
    }
    if (::_commit(fd.get()) != 0) {
        return fail("cannot flush to disk", errno);
    }
    if (::_close(fd.release()) != 0) {
        const int closeErr = errno;
        ::_wunlink(temporary.c_str());
        error = Reason("cannot write", closeErr);
        return false;
    }
    if (!Replace(temporary, target.wstring(), error)) {
        ::_wunlink(temporary.c_str());
        return false;
    }
    return true;
}

} // namespace zembra
