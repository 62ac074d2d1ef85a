#pragma once
// What the program asks of the desktop shell: open a document or address with the program the user chose
// for it (a web page in the browser, a mailto: address in the mail program), and start a program on its own.

#include <QString>
#include <QUrl>

namespace quillon::platform {

class Shell {
public:
    virtual ~Shell() = default;
    /// Hands the address to the desktop's handler for its scheme. Returns false when no handler could be
    /// started; a handler that starts and then fails is not seen.
    virtual bool openUrl(const QUrl& url) = 0;
    /// Starts the program at path (no arguments, no shell parsing of the text) detached from this process,
    /// in its normal window state. Returns false when it could not be started.
    virtual bool startProgram(const QString& path) = 0;
};

} // namespace quillon::platform
