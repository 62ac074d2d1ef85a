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
