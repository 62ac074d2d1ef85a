#include "support/FakeFontSystem.h"

namespace quillon::test {

QString FakeFontSystem::stdFontName(const QString& name)
{
    auto knows = [&](const QStringList& families) {
        for (const QString& f : families)
            if (f.toLower() == name.toLower()) return true;
        return false;
    };
    if (!name.isEmpty() && knows(knownFamilies)) return name;
    for (const QString& path : added)
        if (!name.isEmpty() && knows(familiesInFile.value(path))) return name;
    return fallbackFamily;
}

int FakeFontSystem::AddFontResource(const QString& path)
{
    if (refuseAdditions) return 0;
    ++additions;
    added << path;
    return 1;
}

bool FakeFontSystem::RemoveFontResource(const QString& path)
{
    ++removals;
    return added.removeOne(path);
}

const FakeFontSystem::Face& FakeFontSystem::lookup(const QString& name) const
{
    const auto it = faces.constFind(name.toLower());
    return it == faces.constEnd() ? fallbackFace : *it;
}

std::optional<platform::ResolvedFace> FakeFontSystem::resolveFace(const QString& name)
{
    return lookup(name).face;
}

platform::FontHandle FakeFontSystem::CreateFontIndirect(const platform::LogFont& request)
{
    requestedFaceNames << request.faceName;
    if (refuseFonts) return 0;
    ++fontsCreated;
    const platform::FontHandle handle = next_++;
    fonts_[handle] = lookup(request.faceName.left(platform::LogFont::kFaceNameChars));
    return handle;
}

bool FakeFontSystem::DeleteObject(platform::FontHandle font) { return fonts_.erase(font) == 1; }

std::optional<platform::ResolvedFace> FakeFontSystem::faceOf(platform::FontHandle font)
{
    const auto it = fonts_.find(font);
    if (it == fonts_.end()) return std::nullopt;
    return it->second.face;
}

std::optional<platform::TextMetric> FakeFontSystem::GetTextMetrics(platform::FontHandle font)
{
    const auto it = fonts_.find(font);
    if (it == fonts_.end()) return std::nullopt;
    return platform::TextMetric{it->second.pitchAndFamily};
}

std::uint32_t FakeFontSystem::GetFontLanguageInfo(platform::FontHandle font)
{
    const auto it = fonts_.find(font);
    return it == fonts_.end() ? platform::GCP_ERROR : it->second.languageInfo;
}

} // namespace quillon::test
