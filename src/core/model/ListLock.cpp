// The list lock on POSIX systems: flock on "<list>.lock". The file is removed by its holder
// before the release; a writer that locked a file removed meanwhile sees that its file is no
// longer the one under the name, and takes the lock again on the new one.

#include "model/ListLock.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace zembra {

namespace {

constexpr auto kRetryInterval = std::chrono::milliseconds(10);

std::string LockPathFor(const std::string& listPath)
{
    std::error_code ec;
    const std::filesystem::path resolved = std::filesystem::weakly_canonical(listPath, ec);
    return (ec ? std::filesystem::path(listPath) : resolved).string() + ".lock";
}

} // namespace

ListLock::ListLock(const std::string& listPath)
    : m_lockPath(LockPathFor(listPath))
{
}

ListLock::~ListLock()
{
    Release();
}

ListLock::Result ListLock::Acquire(int timeoutMs, std::string& error)
{
    if (m_held) {
        return Result::Held;
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        const int fd = ::open(m_lockPath.c_str(), O_RDONLY | O_CREAT | O_CLOEXEC, 0666);
        if (fd < 0) {
            error = "cannot make the lock file " + m_lockPath + ": " + std::strerror(errno);
            return Result::NoLockFile;
        }
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
            struct stat held {};
            struct stat named {};
            if (::fstat(fd, &held) == 0 && ::stat(m_lockPath.c_str(), &named) == 0
                && held.st_dev == named.st_dev && held.st_ino == named.st_ino) {
                m_handle = fd;
                m_held = true;
                return Result::Held;
            }
            // The holder before us removed this file on its release: lock the one now there.
            ::close(fd);
            continue;
        }
        const int err = errno;
        ::close(fd);
        if (err != EWOULDBLOCK && err != EINTR) {
            error = "cannot lock " + m_lockPath + ": " + std::strerror(err);
            return Result::NoLockFile;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            error = "another program is changing the list (" + m_lockPath + " is held)";
            return Result::Busy;
        }
        std::this_thread::sleep_for(kRetryInterval);
    }
}

void ListLock::Release()
{
    if (!m_held) {
        return;
    }
    ::unlink(m_lockPath.c_str());
    ::close(static_cast<int>(m_handle));
    m_handle = -1;
    m_held = false;
}

} // namespace zembra
