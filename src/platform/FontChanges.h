#pragma once
// Fonts installed or removed while the program runs, by the program or by anything else (a package
// manager, a file manager copying into the user's font folder): the font folders are watched, never
// polled, and after a change has settled the font system is brought up to date (fontconfig, the face
// index, the toolkit's font database, the fonts key) before the listener hears of it.

#include <QString>

#include <functional>

namespace quillon::platform {

class FontChanges {
public:
    virtual ~FontChanges() = default;

    /// Runs on the window's thread after the installed fonts changed and the font system took them in,
    /// with why in words ("a file came or went in /home/ann/.local/share/fonts").
    virtual void setListener(std::function<void(const QString& why)> changed) = 0;
    /// Starts watching the font folders and fontconfig's configuration; a second call does nothing.
    virtual void watch() = 0;
    /// Looks now instead of waiting for the watch to settle (after the program changed a folder itself):
    /// true when the fonts changed, and the listener has run.
    virtual bool checkNow(const QString& why) = 0;
};

} // namespace quillon::platform
