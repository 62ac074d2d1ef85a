#include "platform/linux/files/FontFileBytes.h"

#include "platform/NativeText.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <memory>

namespace quillon::platform {

namespace {

/// Opens a regular file for reading; -1 when it is none or cannot be opened. O_NONBLOCK keeps a FIFO
/// from holding the open up, and the type is checked on what was opened, not on the name.
int openRegular(const char* path, std::int64_t* size)
{
    const int fd = ::open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) return -1;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return -1;
    }
    *size = st.st_size;
    return fd;
}

/// Reads up to count bytes at offset; the number read (short at the file's current end).
std::size_t readAt(int fd, std::uint64_t offset, unsigned char* buffer, std::size_t count)
{
    std::size_t done = 0;
    while (done < count) {
        const ssize_t n = ::pread(fd, buffer + done, count - done, static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += static_cast<std::size_t>(n);
    }
    return done;
}

// FreeType's stream over a descriptor. FreeType reads in many small pieces (a table header, a glyph's
// outline, its offset in another table, its advance in a third), so reads go through a few windows of the
// file, each a block at a multiple of its size: one system call per block instead of one per piece, and
// reads that go back and forth between tables find their blocks still there.
struct ReadStream {
    static constexpr unsigned long kBlock = 16 * 1024;
    static constexpr int kWindows = 8;
    struct Window {
        unsigned long block = ULONG_MAX; // which block of the file it holds; ULONG_MAX for none
        unsigned long length = 0;        // short at the file's end
        unsigned long lastUse = 0;
        unsigned char bytes[kBlock];
    };
    FT_StreamRec rec{}; // first, so FreeType's stream pointer is this object's; its descriptor is the file's
    unsigned long uses = 0;
    Window windows[kWindows];

    // The window holding a block, read into the least recently used one when none does.
    Window& holding(unsigned long block)
    {
        Window* chosen = &windows[0];
        for (Window& window : windows) {
            if (window.block == block) {
                chosen = &window;
                break;
            }
            if (window.lastUse < chosen->lastUse) chosen = &window;
        }
        if (chosen->block != block) {
            chosen->block = block;
            chosen->length = readAt(static_cast<int>(rec.descriptor.value),
                                    static_cast<std::uint64_t>(block) * kBlock, chosen->bytes, kBlock);
        }
        chosen->lastUse = ++uses;
        return *chosen;
    }
};

unsigned long streamRead(FT_Stream stream, unsigned long offset, unsigned char* buffer, unsigned long count)
{
    // A count of 0 is a seek: 0 for a position inside the file, anything else for an error.
    if (count == 0) return offset <= stream->size ? 0 : 1;
    if (offset >= stream->size) return 0;
    auto* file = reinterpret_cast<ReadStream*>(stream);
    // A large read (a whole table) would only pass through the windows.
    if (count > ReadStream::kBlock)
        return readAt(static_cast<int>(stream->descriptor.value), offset, buffer, count);
    unsigned long done = 0;
    while (done < count) {
        const unsigned long at = offset + done;
        const ReadStream::Window& window = file->holding(at / ReadStream::kBlock);
        const unsigned long inside = at % ReadStream::kBlock;
        if (inside >= window.length) break; // the file's current end
        const unsigned long n = std::min(count - done, window.length - inside);
        std::memcpy(buffer + done, window.bytes + inside, n);
        done += n;
        if (window.length < ReadStream::kBlock) break;
    }
    return done;
}

void streamClose(FT_Stream stream)
{
    ::close(static_cast<int>(stream->descriptor.value));
    delete reinterpret_cast<ReadStream*>(stream);
}

} // namespace

std::optional<QByteArray> readFontFile(const QString& path)
{
    std::int64_t size = 0;
    const int fd = openRegular(nativeBytes(path).constData(), &size);
    if (fd < 0) return std::nullopt;
    std::optional<QByteArray> out;
    if (size >= 0 && size <= kMostFontFileBytes) {
        QByteArray data(static_cast<qsizetype>(size), Qt::Uninitialized);
        const std::size_t got =
            readAt(fd, 0, reinterpret_cast<unsigned char*>(data.data()), static_cast<std::size_t>(size));
        data.truncate(static_cast<qsizetype>(got));
        out = std::move(data);
    }
    ::close(fd);
    return out;
}

QString absoluteNativePath(const QString& path)
{
    if (path.startsWith(u'/') || path.isEmpty()) return path;
    char buffer[PATH_MAX];
    if (!::getcwd(buffer, sizeof buffer)) return path;
    QString folder = fromNativeBytes(buffer);
    if (!folder.endsWith(u'/')) folder += u'/';
    return folder + path;
}

FT_Face openFaceByReads(FT_Library library, const QString& path, long index)
{
    if (index < 0) return nullptr;
    FT_Face face = nullptr;
    if (openFaceByReads(library, nativeBytes(path).constData(), index, &face) != 0) return nullptr;
    return face;
}

int openFaceByReads(FT_Library library, const char* path, long index, FT_Face* face)
{
    if (!library || !path || !face) return FT_Err_Invalid_Argument;
    *face = nullptr;
    std::int64_t size = 0;
    const int fd = openRegular(path, &size);
    if (fd < 0) return FT_Err_Cannot_Open_Resource;
    if (size <= 0 || static_cast<std::uint64_t>(size) > ULONG_MAX) {
        ::close(fd);
        return FT_Err_Unknown_File_Format;
    }
    auto* stream = new ReadStream;
    stream->rec.descriptor.value = fd;
    stream->rec.size = static_cast<unsigned long>(size);
    stream->rec.read = streamRead;
    stream->rec.close = streamClose; // FreeType calls it when the face is done, or when opening fails
    FT_Open_Args args{};
    args.flags = FT_OPEN_STREAM;
    args.stream = &stream->rec;
    return FT_Open_Face(library, &args, index, face);
}

} // namespace quillon::platform
