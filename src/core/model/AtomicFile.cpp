#include "model/AtomicFile.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace zembra {

namespace {

std::string Reason(const char* what, int err)
{
    return std::string(what) + ": " + std::strerror(err);
}

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor()
    {
        if (m_fd >= 0) {
            ::close(m_fd);
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
        const ssize_t written = ::write(fd, data, left);
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            err = errno;
            return false;
        }
        data += written;
        left -= static_cast<std::size_t>(written);
    }
    return true;
}

} // namespace

bool ReadWholeFile(const std::string& path, std::string& bytes, std::string& error)
{
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0) {
        error = std::strerror(errno);
        return false;
    }
    struct stat info {};
    if (::fstat(fd.get(), &info) == 0 && S_ISDIR(info.st_mode)) {
        error = std::strerror(EISDIR);
        return false;
    }
    std::string result;
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(fd.get(), buffer, sizeof buffer);
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
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
    fs::path target(path);
    if (fs::is_symlink(target, ec)) {
        const fs::path resolved = fs::weakly_canonical(target, ec);
        if (!ec) {
            target = resolved;
        }
    }
    std::string pattern = target.string() + ".XXXXXX";
    FileDescriptor fd(::mkstemp(pattern.data()));
    if (fd.get() < 0) {
        error = Reason("cannot create a file in its folder", errno);
        return false;
    }
    const std::string temporary = pattern;
    const auto fail = [&](const char* what, int err) {
        ::close(fd.release());
        ::unlink(temporary.c_str());
        error = Reason(what, err);
        return false;
    };

    struct stat old {};
    mode_t mode = 0666;
    if (::stat(target.c_str(), &old) == 0) {
        mode = old.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode &= ~mask;
    }
    if (::fchmod(fd.get(), mode) != 0) {
        return fail("cannot set the permissions", errno);
    }
    int err = 0;
    if (!WriteAll(fd.get(), bytes, err)) {
        return fail("cannot write", err);
    }
    if (::fsync(fd.get()) != 0) {
        return fail("cannot flush to disk", errno);
    }
    if (::close(fd.release()) != 0) {
        const int closeErr = errno;
        ::unlink(temporary.c_str());
        error = Reason("cannot write", closeErr);
        return false;
    }
    if (::rename(temporary.c_str(), target.c_str()) != 0) {
        const int renameErr = errno;
        ::unlink(temporary.c_str());
        error = Reason("cannot replace the file", renameErr);
        return false;
    }
    // Make the rename itself durable; a failure here does not undo a finished save.
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    FileDescriptor dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.get() >= 0) {
        ::fsync(dir.get());
    }
    return true;
}

} // namespace zembra
