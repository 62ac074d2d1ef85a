#pragma once
// A printer that remembers what is drawn on it instead of printing: every text with the font in force and
// its position, every line, every page. Tests and quillon-inspect compare a layout with it.

#include "platform/Printers.h"

#include <QString>

#include <vector>

namespace quillon {

class RecordingPage final : public platform::PrinterPage {
public:
    struct Font {
        QString name;
        double points = 0;
        bool bold = false;
        bool italic = false;
        bool operator==(const Font&) const = default;
    };
    struct Text {
        int page = 0; // counted from 0 within the document
        int x = 0;    // twips
        int y = 0;
        Font font;
        QString text;
    };
    struct Line {
        int page = 0;
        int x1 = 0, y1 = 0, x2 = 0, y2 = 0; // twips
    };
    /// One finished document: what went to the printer between its first operation and EndDoc.
    struct Document {
        std::vector<Text> texts;
        std::vector<Line> lines;
        int pages = 0; // pages that hold something; a break with nothing after it adds none
    };

    void setFontName(const QString& name) override;
    void setFontSize(double points) override;
    void setFontBold(bool bold) override;
    void setFontItalic(bool italic) override;
    void setPosition(int xTwips, int yTwips) override;
    void print(const QString& text) override;
    void line(int x1Twips, int y1Twips, int x2Twips, int y2Twips) override;
    void newPage() override;
    void endDoc() override;

    /// The document being drawn (not yet ended).
    const Document& current() const { return current_; }
    /// The documents ended so far, in order; each is one print job.
    const std::vector<Document>& jobs() const { return jobs_; }

    /// Texts of one page of a document, in the order they were printed.
    static std::vector<Text> textsOn(const Document& doc, int page);
    static std::vector<Line> linesOn(const Document& doc, int page);

    /// Makes every operation from the count-th one on (1 = the next) raise PrinterError, as a printer that
    /// fails part-way does; 0 never fails.
    void failFrom(int count) { failFrom_ = count > 0 ? operations_ + count : 0; }
    /// Makes only the count-th operation from now raise PrinterError.
    void failOnce(int count) { failOnce_ = count > 0 ? operations_ + count : 0; }
    /// Operations asked for so far, failed ones included.
    int operations() const { return operations_; }

private:
    void operation();
    void mark();

    Font font_;
    int x_ = 0;
    int y_ = 0;
    bool breakPending_ = false;
    int operations_ = 0;
    int failFrom_ = 0;
    int failOnce_ = 0;
    Document current_;
    std::vector<Document> jobs_;
};

} // namespace quillon
