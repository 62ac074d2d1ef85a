// Feeds arbitrary bytes to the font file reader as a file on disk (an anonymous memory file, so no disk
// writes per run) and reads every property. The font system is a stand-in that knows no face, so every
// input also goes through the addition and the removal; an addition left behind aborts the run.
#include "fontfile/CFontPreview.h"

#include <QString>

#include <cstdint>
#include <cstdlib>
#include <sys/mman.h>
#include <unistd.h>

namespace {

class NoFaces final : public quillon::platform::FontSystem {
public:
    int live = 0;
    QString stdFontName(const QString& name) override
    {
        return name.isEmpty() ? QStringLiteral("x") : QString();
    }
    int AddFontResource(const QString&) override { return ++live, 1; }
    bool RemoveFontResource(const QString&) override { return --live, true; }
    void SendFontChange() override {}
    std::uint32_t GetSystemDefaultLCID() override { return 0x0409; }
    std::optional<quillon::platform::ResolvedFace> resolveFace(const QString&) override
    {
        return std::nullopt;
    }
    quillon::platform::FontHandle CreateFontIndirect(const quillon::platform::LogFont&) override { return 0; }
    bool DeleteObject(quillon::platform::FontHandle) override { return false; }
    std::optional<quillon::platform::ResolvedFace> faceOf(quillon::platform::FontHandle) override
    {
        return {};
    }
    std::optional<quillon::platform::TextMetric> GetTextMetrics(quillon::platform::FontHandle) override
    {
        return {};
    }
    std::uint32_t GetFontLanguageInfo(quillon::platform::FontHandle) override { return 0x8000; }
};

int memoryFile()
{
    static const int fd = memfd_create("quillon-fuzz", MFD_CLOEXEC);
    return fd;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const int fd = memoryFile();
    if (fd < 0 || ftruncate(fd, 0) != 0) return 0;
    if (size > 0 && pwrite(fd, data, size, 0) != static_cast<ssize_t>(size)) return 0;
    const QString path = QStringLiteral("/proc/self/fd/%1").arg(fd);

    NoFaces fonts;
    {
        quillon::CFontPreview reader(fonts);
        reader.setFontFile(path);
        std::size_t total = 0;
        for (const QString& text :
             {reader.Copyright(), reader.FamilyName(), reader.FullName(), reader.SubFamilyName(),
              reader.PostscriptName(), reader.Trademark(), reader.UniqueIdentifier(), reader.VersionString()})
            total += static_cast<std::size_t>(text.size());
        // No text can be longer than the bytes it came from.
        if (total > 8 * (size + 1)) std::abort();
        const int bits =
            int{reader.Bold()} + int{reader.Italic()} + int{reader.StrikeOut()} + int{reader.Underlined()};
        if (bits > 4) std::abort();
    }
    if (fonts.live != 0) std::abort();
    return 0;
}
