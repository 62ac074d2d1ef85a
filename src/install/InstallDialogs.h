#pragma once
// Installing one file and removing one, as the face information's Install and Remove… buttons do: the
// messages and questions in the user's words, with the install plan's rules behind them.

#include <QString>
#include <QStringList>

class QWidget;

namespace quillon {

namespace platform {
class FontInstall;
}

namespace install {

/// Where messages and questions go: message boxes in the program, a recorder in tests.
class Conversation {
public:
    virtual ~Conversation() = default;
    virtual void tell(QWidget* over, const QString& text) = 0;
    /// True when the user answers `yes`; false for Cancel.
    virtual bool ask(QWidget* over, const QString& text, const QString& yes) = 0;
};

/// Modal message boxes titled with the program's name.
class MessageBoxes final : public Conversation {
public:
    void tell(QWidget* over, const QString& text) override;
    bool ask(QWidget* over, const QString& text, const QString& yes) override;
};

/// Installs the file at `path`: refused with the reason when it is no font or not whole, "already
/// installed" when its very bytes are, a question when one of its faces is installed from another file
/// (install beside it, or cancel). The files copied (none when nothing was).
QStringList installFile(platform::FontInstall& fonts, const QString& path, Conversation& talk, QWidget* over);

/// Asks whether to move the file at `path` to the trash, naming the file and the faces it holds, and does
/// it. True when the file went.
bool removeFile(platform::FontInstall& fonts, const QString& path, Conversation& talk, QWidget* over);

} // namespace install
} // namespace quillon
