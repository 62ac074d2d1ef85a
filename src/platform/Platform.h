#pragma once
// Everything the program reaches of the operating system, handed down from main. Each member is an
// interface; src/platform/linux realises them, tests pass fakes.

namespace quillon::platform {

class FaceRasterizer;
class FontChanges;
class FaceSurvey;
class FontFacts;
class FontFileLookup;
class FontInstall;
class FontSystem;
class GlyphFaces;
class Printers;
class Registry;
class SettingsStore;
class Shell;
class SystemInfo;

struct Platform {
    Registry& registry;
    SettingsStore& settings;
    Shell& shell;
    Printers& printers;
    FontFileLookup& fontFiles;
    SystemInfo& systemInfo;
    FontSystem& fontSystem;
    FaceRasterizer& faceRasterizer;
    FontFacts& fontFacts;
    FaceSurvey& faceSurvey;
    GlyphFaces& glyphFaces;
    FontInstall& fontInstall;
    FontChanges& fontChanges;
};

} // namespace quillon::platform
