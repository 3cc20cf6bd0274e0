#pragma once

// Writers of one alarm list take turns: each holds the lock beside the list ("<list>.lock")
// around its read-modify-write, so that two of them never lose each other's change. zembractl
// holds it while it changes a file, and the desktop program while it saves one. Readers need no
// lock: a list is always replaced whole (AtomicFile), so a reader sees the old or the new one.
//
// The lock belongs to the process holding it: it goes with the process, however the process
// ends, and the lock file goes with its release, so nothing is left beside the list.

#include <string>

namespace zembra {

class ListLock {
public:
    explicit ListLock(const std::string& listPath);
    ListLock(const ListLock&) = delete;
    ListLock& operator=(const ListLock&) = delete;
    // Releases the lock when held.
    ~ListLock();

    enum class Result {
        Held,
        // Another writer held it all the time given (`error` says so).
        Busy,
        // No lock file can be made beside the list (a folder missing or not writable, `error`
        // says why). Nobody can write the list there, this writer included, so it may go on and
        // let the write tell why it fails.
        NoLockFile,
    };

    // Waits up to `timeoutMs` for the lock.
    Result Acquire(int timeoutMs, std::string& error);
    void Release();
    bool IsHeld() const { return m_held; }
    // The lock file: beside the file the list's path leads to, so that a list reached through
    // a symbolic link is locked under one name.
    const std::string& LockPath() const { return m_lockPath; }

private:
    std::string m_lockPath;
    bool m_held = false;
    // The open lock file: a descriptor, or a Windows handle.
    long long m_handle = -1;
};

} // namespace zembra
