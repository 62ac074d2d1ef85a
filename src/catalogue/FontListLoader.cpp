#include "catalogue/FontListLoader.h"

#include "catalogue/FontNameCleanup.h"
#include "catalogue/RegistryReadCache.h"
#include "platform/Log.h"
#include "platform/NativeText.h"
#include "platform/SystemInfo.h"

#include <vector>

namespace quillon {

using namespace platform;

namespace {

/// QString::toLower, with a quick path for ASCII text (the usual face and file name).
QString lowerCase(const QString& text)
{
    QString lower(text.size(), Qt::Uninitialized);
    QChar* out = lower.data();
    const QChar* in = text.constData();
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = in[i].unicode();
        if (c >= 0x80) return platform::lowerCased(text);
        out[i] = QChar(c >= 'A' && c <= 'Z' ? static_cast<char16_t>(c + ('a' - 'A')) : c);
    }
    return lower;
}

} // namespace

FontListLoader::FontListLoader(Registry& registry, SystemInfo& system, FontCatalogue& catalogue)
    : registry_(registry), system_(system), catalogue_(catalogue), reader_(&registry)
{
}

bool FontListLoader::IsWindowsNT()
{
    OSVERSIONINFOA info;
    info.dwOSVersionInfoSize = sizeof(OSVERSIONINFOA);
    system_.GetVersionExA(info); // a failed call leaves the platform 0: not NT
    return info.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

void FontListLoader::LoadFontList(FaceList& fontList)
{
    catalogue_.records.clear();
    recordedFiles_.clear();
    indexedRecords_ = 0;

    // Every record looks its file up in the key being enumerated; the cache answers those look-ups from
    // one index of the key instead of searching it once per font.
    RegistryReadCache cache(registry_);
    reader_ = &cache;
    struct Restore {
        platform::Registry*& reader;
        platform::Registry& registry;
        ~Restore() { reader = &registry; }
    } restore{reader_, registry_};

    enumerateFonts(HKEY_LOCAL_MACHINE, IsWindowsNT() ? kNtFontsKey : kWindowsFontsKey, Pass::Fonts, fontList);
    if (!IsWindowsNT()) enumerateFonts(HKEY_CURRENT_CONFIG, kDisplayFontsKey, Pass::DisplayFonts, fontList);

    // The list is sorted, so every run of equal names shrinks to its first member; names that differ only
    // in case are not equal and both stay.
    QString last;
    int k = fontList.count() - 1;
    int i = 0;
    while (i <= k) {
        fontList.setListIndex(i);
        const QString current = fontList.itemText(i);
        if (current != last && !current.isEmpty()) {
            last = current;
            ++i;
        } else {
            fontList.removeItem(i);
            --k;
        }
    }

    const int fontCount = fontList.count();
    catalogue_.fontNames.clear();
    catalogue_.fontNames.reserve(fontCount);
    for (i = 0; i < fontCount; ++i) {
        fontList.setListIndex(i);
        catalogue_.fontNames.append(fontList.itemText(i));
    }
}

void FontListLoader::enumerateFonts(HKEY root, const QString& path, Pass pass, FaceList& fontList)
{
    HKEY key = 0;
    if (reader_->RegOpenKeyEx(root, path.toStdString(), 0, KEY_READ, key) != ERROR_SUCCESS) {
        qCDebug(log::catalogue) << "the fonts key" << path << "cannot be opened: no faces listed from it";
        return;
    }
    std::vector<char> name(kFontNameBuffer, '\0');
    for (DWORD index = 0;;) {
        DWORD nameLength = kFontNameBuffer;
        DWORD type = REG_NONE;
        DWORD dataSize = kFontNameBuffer;
        // The result code is not looked at: a failed call leaves the length at the buffer size, and that
        // (or an empty name) is the end of the list.
        reader_->RegEnumValue(key, index, name.data(), nameLength, &type, nullptr, &dataSize);
        ++index;
        if (nameLength >= static_cast<DWORD>(kFontNameBuffer) || nameLength == 0) break;
        const QString entryName = QString::fromUtf8(name.data(), static_cast<qsizetype>(nameLength));
        if (entryName.isEmpty()) continue;
        const CleanedFontName cleaned = cleanFontName(entryName);
        fontList.addItem(cleaned.face);
        if (pass == Pass::Fonts)
            AddFontRecord(entryName, lowerCase(cleaned.face), cleaned.bold, cleaned.italic, cleaned.sizes);
        else
            AddDisplayFontRecord(entryName, lowerCase(cleaned.face), cleaned.bold, cleaned.italic,
                                 cleaned.sizes);
    }
    reader_->RegCloseKey(key);
}

void FontListLoader::AddFontRecord(const QString& entryName, const QString& face, bool bold, bool italic,
                                   const QString& sizes)
{
    addRecord(HKEY_LOCAL_MACHINE, IsWindowsNT() ? kNtFontsKey : kWindowsFontsKey, entryName, face, bold,
              italic, sizes);
}

void FontListLoader::AddDisplayFontRecord(const QString& entryName, const QString& face, bool bold,
                                          bool italic, const QString& sizes)
{
    addRecord(HKEY_CURRENT_CONFIG, kDisplayFontsKey, entryName, face, bold, italic, sizes);
}

void FontListLoader::addRecord(HKEY root, const QString& path, const QString& entryName, const QString& face,
                               bool bold, bool italic, const QString& sizes)
{
    const RegValue value = RegistryModule(*reader_).GetRegValue(root, path, entryName);
    // A failed look-up, or one that gives no file name, names no file: such an entry is listed but gets no
    // record (rather than one record for a file called "error" that the first failure would claim).
    if (isError(value)) return;
    const QString text = regValueText(value);
    if (text.isEmpty()) return;
    const QString file = lowerCase(text.left(text.size() - 1)); // without the stored terminator
    if (file.isEmpty()) return;

    if (indexedRecords_ != catalogue_.records.size()) {
        recordedFiles_.clear();
        for (const FontRecord& record : catalogue_.records) recordedFiles_.insert(record.file);
        indexedRecords_ = catalogue_.records.size();
    }
    if (recordedFiles_.contains(file)) return;
    catalogue_.records.push_back({face, file, bold, italic, sizes});
    recordedFiles_.insert(file);
    ++indexedRecords_;
}

} // namespace quillon
