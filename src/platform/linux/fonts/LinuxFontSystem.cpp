#include "platform/linux/fonts/LinuxFontSystem.h"

#include "platform/Log.h"
#include "platform/linux/files/FontFileBytes.h"
#include "platform/linux/fonts/FontSystemLocale.h"

#include <QFontDatabase>
#include <QGuiApplication>

namespace quillon::platform {

LinuxFontSystem::LinuxFontSystem() : lcid_(systemDefaultLcid()) {}

LinuxFontSystem::~LinuxFontSystem()
{
    // Fonts added and never removed (a reader that was not let go) leave with the program.
    if (QGuiApplication::instance())
        for (int id : std::as_const(applicationFonts_)) QFontDatabase::removeApplicationFont(id);
}

std::optional<FaceChoice> LinuxFontSystem::choose(const QString& name, int cutTo)
{
    if (auto found = index_.find(name, cutTo)) return found;
    std::optional<FaceChoice> substitute = index_.substitute(name);
    if (substitute)
        qCDebug(log::fonts).nospace()
            << "no installed face is named " << name << ": drawn in " << index_.familyOf(substitute->face)
            << ", the substitute fontconfig picks";
    else
        qCDebug(log::fonts) << "no installed face is named" << name << "and fontconfig offers no substitute";
    return substitute;
}

QString LinuxFontSystem::stdFontName(const QString& name)
{
    const std::optional<FaceChoice> found = index_.find(name);
    if (found && found->how == NameMatch::Family) return name;
    if (found) return index_.familyOf(found->face);
    // An unknown name reads back as the mapper's default face, never as the name itself. The default is
    // looked up once: asking fontconfig for each unknown name costs milliseconds with thousands of faces.
    if (!defaultFamilyKnown_) {
        const std::optional<FaceChoice> fallback = index_.substitute(QString());
        defaultFamily_ = fallback ? index_.familyOf(fallback->face) : QString();
        defaultFamilyKnown_ = true;
    }
    return defaultFamily_ == name ? QString() : defaultFamily_;
}

int LinuxFontSystem::AddFontResource(const QString& path)
{
    if (!QGuiApplication::instance()) return 0;
    // Read once, then handed over from memory: Qt and fontconfig would otherwise map the file, and one
    // that shrinks meanwhile (a package update) would end the program with SIGBUS. Only regular files:
    // fontconfig would wait forever on a pipe. The path's own bytes find the file, whatever its name.
    const std::optional<QByteArray> data = readFontFile(path);
    if (!data || data->isEmpty()) return 0;
    const int id = QFontDatabase::addApplicationFontFromData(*data);
    if (id < 0) return 0;
    applicationFonts_.insert(path, id);
    const int learned = index_.learnFile(absoluteNativePath(path), *data);
    return std::max<int>(learned, static_cast<int>(QFontDatabase::applicationFontFamilies(id).size()));
}

bool LinuxFontSystem::RemoveFontResource(const QString& path)
{
    auto it = applicationFonts_.find(path);
    if (it == applicationFonts_.end()) return false;
    const int id = it.value();
    applicationFonts_.erase(it);
    index_.forgetFile(absoluteNativePath(path));
    return QGuiApplication::instance() && QFontDatabase::removeApplicationFont(id);
}

namespace {

/// The smallest font Qt takes as an application font: one blank character of a bitmap face, in the text
/// form FreeType reads from memory. Adding and taking it out is the one public way to make Qt read
/// fontconfig's fonts again.
constexpr char kNudgeFont[] = "STARTFONT 2.1\n"
                              "FONT -quillon-nudge-medium-r-normal--8-80-75-75-c-80-iso10646-1\n"
                              "SIZE 8 75 75\n"
                              "FONTBOUNDINGBOX 1 1 0 0\n"
                              "STARTPROPERTIES 3\n"
                              "FAMILY_NAME \"Quillon Nudge\"\n"
                              "FONT_ASCENT 1\n"
                              "FONT_DESCENT 0\n"
                              "ENDPROPERTIES\n"
                              "CHARS 1\n"
                              "STARTCHAR space\n"
                              "ENCODING 32\n"
                              "SWIDTH 1000 0\n"
                              "DWIDTH 8 0\n"
                              "BBX 1 1 0 0\n"
                              "BITMAP\n"
                              "00\n"
                              "ENDCHAR\n"
                              "ENDFONT\n";

} // namespace

void LinuxFontSystem::fontsChanged(bool faces)
{
    if (faces) {
        index_.rebuild();
        recordFaces_.clear(); // the catalogue stands its records' files in again once it is rebuilt
        defaultFamilyKnown_ = false;
    }
    if (!QGuiApplication::instance()) return;
    // Qt fills its font database from fontconfig once, and fills it afresh only after an application font
    // is taken out, adding the program's own added files to the new configuration again. Without this a
    // new family would be drawn in a substitute until the next start.
    const int nudge = QFontDatabase::addApplicationFontFromData(QByteArray(kNudgeFont));
    if (nudge < 0 || !QFontDatabase::removeApplicationFont(nudge))
        qCDebug(log::fonts) << "Qt's font database could not be made to read the installed fonts again: a "
                               "face installed since the start is drawn in a substitute until the next one";
}

std::optional<ResolvedFace> LinuxFontSystem::resolveFace(const QString& name)
{
    const std::optional<FaceChoice> choice = choose(name, 0);
    if (!choice) return std::nullopt;
    if (choice->how == NameMatch::Substitute) {
        if (const auto own = recordFaces_.find(name.toLower()); own != recordFaces_.end()) {
            ResolvedFace face = index_.resolved(own->second);
            face.fromRecord = true;
            return face;
        }
    }
    ResolvedFace face = index_.resolved(choice->face);
    face.substitute = choice->how == NameMatch::Substitute;
    return face;
}

bool LinuxFontSystem::useFileFor(const QString& name, const QString& path)
{
    for (int i = 0; i < index_.size(); ++i)
        if (index_.file(i) == path && !index_.face(i).variable) {
            recordFaces_[name.toLower()] = i;
            return true;
        }
    return false;
}

FontHandle LinuxFontSystem::CreateFontIndirect(const LogFont& request)
{
    // The field holds 32 bytes; the mapper reads at most 31 characters of it.
    const QString faceName = request.faceName.left(LogFont::kFaceNameChars);
    const std::optional<FaceChoice> choice = choose(faceName, LogFont::kFaceNameChars);
    if (!choice) return 0;
    const FontHandle handle = next_++;
    ResolvedFace face = index_.resolved(choice->face);
    face.substitute = choice->how == NameMatch::Substitute;
    fonts_[handle] = Font{std::move(face), false, std::nullopt};
    return handle;
}

bool LinuxFontSystem::DeleteObject(FontHandle font) { return fonts_.erase(font) == 1; }

std::optional<ResolvedFace> LinuxFontSystem::faceOf(FontHandle font)
{
    const auto it = fonts_.find(font);
    if (it == fonts_.end()) return std::nullopt;
    return it->second.face;
}

const FaceTraits* LinuxFontSystem::traitsOf(FontHandle font)
{
    const auto it = fonts_.find(font);
    if (it == fonts_.end()) return nullptr;
    Font& f = it->second;
    if (!f.traitsRead) {
        f.traits = readFaceTraits(index_.freetype(), f.face.file, f.face.index);
        f.traitsRead = true;
    }
    return f.traits ? &*f.traits : nullptr;
}

std::optional<TextMetric> LinuxFontSystem::GetTextMetrics(FontHandle font)
{
    if (fonts_.find(font) == fonts_.end()) return std::nullopt;
    // A face whose file is gone or no longer a font has no metrics: zero would read as a fixed-pitch face.
    const FaceTraits* traits = traitsOf(font);
    if (!traits) return std::nullopt;
    return TextMetric{traits->pitchAndFamily};
}

std::uint32_t LinuxFontSystem::GetFontLanguageInfo(FontHandle font)
{
    if (fonts_.find(font) == fonts_.end()) return GCP_ERROR;
    const FaceTraits* traits = traitsOf(font);
    return traits ? traits->languageInfo : 0;
}

} // namespace quillon::platform
