#pragma once
// The page-drawing operations on a QPrinter through QPainter. Twips are mapped from the top left of the
// printable area through the printer's resolution; fonts are given in points, which QPainter turns into
// printer dots itself. The document (the QPrinter) is opened at the first drawing operation and handed to
// the print system at EndDoc, so all pages drawn in between form one job.

#include "platform/Printers.h"

#include <QPainter>
#include <QPrinter>

#include <functional>
#include <memory>

namespace quillon::platform {

class FontSystem;

class QtPrinterPage final : public PrinterPage {
public:
    /// Opens the document's printer, configured for the current device. Raises PrinterError when it cannot
    /// (no such printer, the user cancelled the file choice).
    using Opener = std::function<std::unique_ptr<QPrinter>()>;

    /// fonts: the font mapper that turns face names into the faces drawn; without one a name is taken as a
    /// family.
    explicit QtPrinterPage(Opener open, FontSystem* fonts = nullptr);
    /// A document still open is ended (and so printed): nothing drawn is lost silently.
    ~QtPrinterPage() override;
    QtPrinterPage(const QtPrinterPage&) = delete;
    QtPrinterPage& operator=(const QtPrinterPage&) = delete;

    void setFontName(const QString& name) override;
    void setFontSize(double points) override;
    void setFontBold(bool bold) override;
    void setFontItalic(bool italic) override;
    void setPosition(int xTwips, int yTwips) override;
    void print(const QString& text) override;
    void line(int x1Twips, int y1Twips, int x2Twips, int y2Twips) override;
    void newPage() override;
    void endDoc() override;

    /// Whether a document is open (something was drawn and EndDoc has not come yet).
    bool documentOpen() const { return printer_ != nullptr; }

private:
    void open();
    void beforeDrawing();
    QPointF toDevice(int xTwips, int yTwips) const;
    QFont font() const;

    Opener open_;
    FontSystem* fonts_;
    mutable QString resolvedName_; // the face name last resolved, and its font
    mutable QFont resolved_;
    mutable bool resolvedKnown_ = false;
    std::unique_ptr<QPrinter> printer_;
    QPainter painter_;
    bool failed_ = false;       // the document could not be opened; every operation fails until EndDoc
    bool breakPending_ = false; // NewPage came and nothing has been drawn since

    QString fontName_ = QStringLiteral("Arial");
    double fontPoints_ = 10;
    bool fontBold_ = false;
    bool fontItalic_ = false;
    int x_ = 0;
    int y_ = 0;
};

} // namespace quillon::platform
