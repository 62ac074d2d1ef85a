#include "support/FullDisk.h"

#include <QFile>

#include <csignal>
#include <vector>

#include <fcntl.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <unistd.h>

namespace quillon::test {

namespace {

const char kFiller[] = "/.filler";

} // namespace

FullDisk::FullDisk(const QString& folder, long long bytes) : folder_(folder)
{
    const QByteArray options = "size=" + QByteArray::number(bytes) + ",mode=0700";
    mounted_ = ::geteuid() == 0 &&
               ::mount("tmpfs", QFile::encodeName(folder).constData(), "tmpfs", 0, options.constData()) == 0;
}

FullDisk::~FullDisk()
{
    release();
    if (mounted_) ::umount2(QFile::encodeName(folder_).constData(), MNT_DETACH);
}

void FullDisk::fill()
{
    if (mounted_) {
        const int fd =
            ::open(QFile::encodeName(folder_ + kFiller).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const std::vector<char> block(4096, 'x');
        if (fd >= 0) {
            while (::write(fd, block.data(), block.size()) > 0) {
            }
            // The last partial block: byte by byte to the very end.
            while (::write(fd, block.data(), 1) > 0) {
            }
            ::close(fd);
        }
        return;
    }
    std::signal(SIGXFSZ, SIG_IGN); // the write fails with EFBIG instead of ending the test
    rlimit none{0, RLIM_INFINITY};
    limited_ = ::setrlimit(RLIMIT_FSIZE, &none) == 0;
}

void FullDisk::release()
{
    if (mounted_) QFile::remove(folder_ + kFiller);
    if (limited_) {
        rlimit all{RLIM_INFINITY, RLIM_INFINITY};
        ::setrlimit(RLIMIT_FSIZE, &all);
        limited_ = false;
    }
}

} // namespace quillon::test
