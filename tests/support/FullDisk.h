#pragma once
// A folder on which writes fail as on a full disk, for tests of the program's writers. Where this process
// may mount (it runs as root) the folder becomes a small tmpfs that fill() then fills to the last byte, a
// real full file system; elsewhere fill() sets a file size limit of zero bytes for the process, so that every
// write past a file's start fails (EFBIG) as a write to a full disk does (ENOSPC). Files made before fill()
// stay readable either way, so a test can check that they are byte for byte as they were.

#include <QString>

namespace quillon::test {

class FullDisk {
public:
    /// folder: an empty folder that exists; made a tmpfs of `bytes` when mounting is allowed.
    explicit FullDisk(const QString& folder, long long bytes = 256 * 1024);
    /// Lifts the limit and unmounts.
    ~FullDisk();
    FullDisk(const FullDisk&) = delete;
    FullDisk& operator=(const FullDisk&) = delete;

    /// From now on writes in the folder fail.
    void fill();
    /// Lets writes through again (the filler is removed, the limit lifted).
    void release();
    /// Whether the folder is a real full file system (else the writes fail by the size limit).
    bool isTmpfs() const { return mounted_; }

private:
    QString folder_;
    bool mounted_ = false;
    bool limited_ = false;
};

} // namespace quillon::test
