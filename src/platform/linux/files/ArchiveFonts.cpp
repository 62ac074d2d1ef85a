#include "platform/linux/files/ArchiveFonts.h"

#include "platform/Log.h"
#include "platform/NativeText.h"
#include "platform/ReplacingFile.h"

#include <QFileInfo>

#include <archive.h>
#include <archive_entry.h>

#include <cerrno>
#include <memory>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quillon::platform {

namespace {

constexpr std::size_t kBlock = 64 * 1024;

struct ReaderDeleter {
    void operator()(struct archive* a) const { archive_read_free(a); }
};
using Reader = std::unique_ptr<struct archive, ReaderDeleter>;

/// A reader of the formats and filters the program opens. A filter libarchive could only run as another
/// program (it says so with a warning) is left out: the archive then is not read, rather than handed to a
/// program the user never chose.
Reader makeReader()
{
    Reader reader(archive_read_new());
    if (!reader) return reader;
    archive_read_support_format_zip(reader.get());
    archive_read_support_format_7zip(reader.get());
    archive_read_support_format_tar(reader.get());
    using Filter = int (*)(struct archive*);
    for (Filter filter : {&archive_read_support_filter_gzip, &archive_read_support_filter_bzip2,
                          &archive_read_support_filter_xz, &archive_read_support_filter_zstd}) {
        if (filter(reader.get()) == ARCHIVE_WARN) {
            qCDebug(log::catalogue) << "an archive filter needs another program and is left out";
            reader.reset(archive_read_new());
            archive_read_support_format_zip(reader.get());
            archive_read_support_format_7zip(reader.get());
            archive_read_support_format_tar(reader.get());
            archive_read_support_filter_gzip(reader.get());
            break;
        }
    }
    return reader;
}

QString errorOf(struct archive* a)
{
    const char* text = archive_error_string(a);
    return text ? QString::fromLocal8Bit(text) : QStringLiteral("unknown error");
}

QString entryName(struct archive_entry* entry)
{
    if (const char* utf8 = archive_entry_pathname_utf8(entry)) return QString::fromUtf8(utf8);
    if (const char* bytes = archive_entry_pathname(entry)) return fromNativeBytes(bytes);
    return {};
}

/// The entry's name in parts, both separators counted: an archive made on Windows may use either.
QStringList partsOf(const QString& name)
{
    QString slashes = name;
    slashes.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return slashes.split(QLatin1Char('/'), Qt::SkipEmptyParts);
}

bool outsideTheArchive(const QString& name)
{
    if (name.startsWith(QLatin1Char('/')) || name.startsWith(QLatin1Char('\\'))) return true;
    if (name.size() >= 2 && name[1] == QLatin1Char(':') && name[0].isLetter()) return true; // "C:\..."
    for (const QString& part : partsOf(name))
        if (part == QLatin1String("..")) return true;
    return false;
}

/// Left out unread: hidden entries, the resource forks an archive made on a Mac carries in __MACOSX/.
bool leftOut(const QString& name)
{
    const QStringList parts = partsOf(name);
    for (const QString& part : parts)
        if (part.startsWith(QLatin1Char('.'))) return true;
    return !parts.isEmpty() && parts.front() == QLatin1String("__MACOSX");
}

/// Writes each font entry into a file of its own in a folder, named by its number and its last part.
class FolderSink final : public ArchiveFonts::Sink {
public:
    explicit FolderSink(QString folder) : folder_(std::move(folder)) {}
    ~FolderSink() override
    {
        if (fd_ >= 0) ::close(fd_);
    }

    bool begin(const QString& entry) override
    {
        QString last = partsOf(entry).value(partsOf(entry).size() - 1);
        last.replace(QChar(0), QLatin1Char('_'));
        const QString path =
            QStringLiteral("%1/%2-%3").arg(folder_).arg(written.size() + 1).arg(last.right(200));
        fd_ =
            ::open(nativeBytes(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (fd_ < 0) {
            problem = ReplacingFile::reasonFor(errno, folder_);
            return false;
        }
        written.push_back({entry, path});
        return true;
    }
    bool write(const char* data, std::size_t size) override
    {
        while (size > 0) {
            const ssize_t n = ::write(fd_, data, size);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) {
                problem = ReplacingFile::reasonFor(n == 0 ? ENOSPC : errno, folder_);
                return false;
            }
            data += n;
            size -= static_cast<std::size_t>(n);
        }
        return true;
    }
    bool end() override
    {
        const int fd = fd_;
        fd_ = -1;
        if (::close(fd) != 0) {
            problem = ReplacingFile::reasonFor(errno, folder_);
            return false;
        }
        return true;
    }
    void removeAll()
    {
        if (fd_ >= 0) ::close(fd_);
        fd_ = -1;
        for (const UnpackedFont& f : written) ::unlink(nativeBytes(f.path).constData());
        written.clear();
    }

    std::vector<UnpackedFont> written;

private:
    QString folder_;
    int fd_ = -1;
};

} // namespace

Unpacked ArchiveFonts::readOpened(struct archive* reader, const ArchiveLimits& limits, Sink& sink)
{
    Unpacked out;
    const auto refuse = [&](QString why) {
        out.problem = std::move(why);
        out.fonts.clear();
        return out;
    };
    std::int64_t counted = 0; // bytes the entries unpack to, as declared or as read where that is more
    int entries = 0;
    std::vector<char> block(kBlock);
    for (;;) {
        struct archive_entry* entry = nullptr;
        const int status = archive_read_next_header(reader, &entry);
        if (status == ARCHIVE_EOF) break;
        if (status < ARCHIVE_WARN || !entry)
            return refuse(
                entries == 0
                    ? QStringLiteral("it is not an archive the program can read (%1)").arg(errorOf(reader))
                    : QStringLiteral("it is damaged (%1)").arg(errorOf(reader)));
        if (++entries > limits.entries)
            return refuse(QStringLiteral("it holds more than %1 entries").arg(limits.entries));
        const QString name = entryName(entry);
        if (name.isEmpty()) return refuse(QStringLiteral("it holds an entry without a name"));
        if (outsideTheArchive(name))
            return refuse(QStringLiteral("its entry \"%1\" names a place outside the archive").arg(name));
        if (archive_entry_symlink(entry) || archive_entry_hardlink(entry) ||
            archive_entry_filetype(entry) == AE_IFLNK)
            return refuse(
                QStringLiteral("its entry \"%1\" is a link, which could point anywhere on the computer")
                    .arg(name));
        const std::int64_t declared = archive_entry_size_is_set(entry) ? archive_entry_size(entry) : 0;
        if (declared < 0 || declared > limits.bytes - counted)
            return refuse(QStringLiteral("it unpacks to more than %1 MiB").arg(limits.bytes >> 20));
        counted += declared;
        if (archive_entry_filetype(entry) != AE_IFREG || leftOut(name) || !isFontFileName(name)) {
            ++out.skipped;
            continue; // the next header skips its data
        }
        if (!sink.begin(name)) return refuse(sink.problem);
        std::int64_t read = 0;
        for (;;) {
            const la_ssize_t n = archive_read_data(reader, block.data(), block.size());
            if (n == 0) break;
            if (n < 0)
                return refuse(
                    QStringLiteral("its entry \"%1\" cannot be read (%2)").arg(name, errorOf(reader)));
            read += n;
            // An entry whose header said less (or nothing) counts with what it really holds.
            if (read > declared) {
                const std::int64_t more = std::min<std::int64_t>(n, read - declared);
                if (more > limits.bytes - counted)
                    return refuse(QStringLiteral("it unpacks to more than %1 MiB").arg(limits.bytes >> 20));
                counted += more;
            }
            if (!sink.write(block.data(), static_cast<std::size_t>(n))) return refuse(sink.problem);
        }
        if (!sink.end()) return refuse(sink.problem);
        out.fonts.push_back({name, QString()});
    }
    return out;
}

Unpacked ArchiveFonts::read(const QByteArray& bytes, const ArchiveLimits& limits, Sink& sink)
{
    Reader reader = makeReader();
    if (!reader) return Unpacked{QStringLiteral("the archive reader could not be made"), {}, 0};
    if (archive_read_open_memory(reader.get(), bytes.constData(), static_cast<std::size_t>(bytes.size())) !=
        ARCHIVE_OK)
        return Unpacked{
            QStringLiteral("it is not an archive the program can read (%1)").arg(errorOf(reader.get())),
            {},
            0};
    return readOpened(reader.get(), limits, sink);
}

Unpacked ArchiveFonts::unpack(const QString& archivePath, const QString& folder, const ArchiveLimits& limits)
{
    Unpacked out;
    // Only a regular file: a pipe or a device would keep the reader waiting or reading for ever.
    const int fd = ::open(nativeBytes(archivePath).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    struct stat st {};
    if (fd < 0 || ::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        if (fd >= 0) ::close(fd);
        out.problem = QStringLiteral("it cannot be read as a file");
        return out;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    Reader reader = makeReader();
    if (!reader || archive_read_open_fd(reader.get(), fd, kBlock) != ARCHIVE_OK) {
        out.problem = QStringLiteral("it is not an archive the program can read (%1)")
                          .arg(reader ? errorOf(reader.get()) : QStringLiteral("no reader"));
        ::close(fd);
        return out;
    }
    FolderSink sink(folder);
    out = readOpened(reader.get(), limits, sink);
    reader.reset();
    ::close(fd);
    if (!out.problem.isEmpty()) {
        sink.removeAll();
        qCDebug(log::catalogue) << "archive" << archivePath << "refused:" << out.problem;
        return out;
    }
    out.fonts = sink.written;
    return out;
}

} // namespace quillon::platform
