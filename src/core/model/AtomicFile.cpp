#include "model/AtomicFile.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <random>
#include <vector>
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
    FileDescriptor& operator=(FileDescriptor&& other) noexcept
    {
        if (this != &other) {
            if (m_fd >= 0) {
                ::close(m_fd);
            }
            m_fd = other.release();
        }
        return *this;
    }
    FileDescriptor(FileDescriptor&& other) noexcept : m_fd(other.release()) {}
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

// Six characters that make the name of a temporary file unlikely to be taken.
std::string UniqueSuffix()
{
    static std::atomic<unsigned> counter{0};
    std::random_device device;
    const unsigned value = device() ^ (counter.fetch_add(1) * 2654435761u) ^ static_cast<unsigned>(::getpid());
    static constexpr char kAlphabet[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::string suffix;
    unsigned rest = value;
    for (int i = 0; i < 6; ++i) {
        suffix += kAlphabet[rest % 62];
        rest /= 62;
    }
    return suffix;
}

} // namespace

bool IsWriteProtected(const std::string& path)
{
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return false;
    }
    mode_t bit = S_IWOTH;
    if (info.st_uid == ::geteuid()) {
        bit = S_IWUSR;
    } else if (info.st_gid == ::getegid()) {
        bit = S_IWGRP;
    } else {
        const int count = ::getgroups(0, nullptr);
        std::vector<gid_t> groups(static_cast<std::size_t>(count > 0 ? count : 0));
        if (count > 0 && ::getgroups(count, groups.data()) == count
            && std::find(groups.begin(), groups.end(), info.st_gid) != groups.end()) {
            bit = S_IWGRP;
        }
    }
    return (info.st_mode & bit) == 0;
}

bool ReadWholeFile(const std::string& path, std::string& bytes, std::string& error)
{
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0) {
        error = std::strerror(errno);
        return false;
    }
    struct stat info {};
    const bool known = ::fstat(fd.get(), &info) == 0;
    if (known && S_ISDIR(info.st_mode)) {
        error = std::strerror(EISDIR);
        return false;
    }
    std::string result;
    // One allocation for a large list instead of a copy at every doubling.
    if (known && S_ISREG(info.st_mode) && info.st_size > 0
        && static_cast<std::size_t>(info.st_size) <= kMaxReadSize) {
        result.reserve(static_cast<std::size_t>(info.st_size));
    }
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
    if (IsWriteProtected(target.string())) {
        error = Reason("the file is write-protected", EACCES);
        return false;
    }
    // Created with the default mode, so that the kernel applies the umask: reading the umask
    // would mean setting it, which is not safe with other threads creating files meanwhile.
    std::string temporary;
    FileDescriptor fd(-1);
    for (int attempt = 0; attempt < 100 && fd.get() < 0; ++attempt) {
        temporary = target.string() + "." + UniqueSuffix();
        fd = FileDescriptor(::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
        if (fd.get() < 0 && errno != EEXIST) {
            break;
        }
    }
    if (fd.get() < 0) {
        error = Reason("cannot create a file in its folder", errno);
        return false;
    }
    const auto fail = [&](const char* what, int err) {
        ::close(fd.release());
        ::unlink(temporary.c_str());
        error = Reason(what, err);
        return false;
    };

    struct stat old {};
    if (::stat(target.c_str(), &old) == 0 && ::fchmod(fd.get(), old.st_mode & 07777) != 0) {
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
