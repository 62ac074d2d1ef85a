#pragma once
// An exclusive lock (flock) on a file or a folder, held until the object is destroyed. The system drops it
// when the process ends, however it ends, so a copy that was killed never leaves it held; and taking it
// writes nothing to disk.

#include <QString>

namespace quillon::platform {

class FileLock {
public:
    /// Opens the file at path to lock it, creating it (user-only access) when it is missing.
    static FileLock onFile(const QString& path);
    /// Opens an existing folder to lock it.
    static FileLock onFolder(const QString& path);

    ~FileLock();
    FileLock(FileLock&& other) noexcept;
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;
    FileLock& operator=(FileLock&&) = delete;

    /// Takes the lock, waiting up to timeoutMs for another holder to let go. False when the wait ran out or
    /// the file could not be opened.
    bool tryLock(int timeoutMs);

private:
    explicit FileLock(int fd) : fd_(fd) {}
    int fd_;
};

} // namespace quillon::platform
