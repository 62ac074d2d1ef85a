#include "printing/RecordingPage.h"

namespace quillon {

void RecordingPage::operation()
{
    ++operations_;
    if ((failFrom_ > 0 && operations_ >= failFrom_) || operations_ == failOnce_)
        throw platform::PrinterError("recording printer: made to fail");
}

// Something is drawn: a page break waiting before it takes effect now.
void RecordingPage::mark()
{
    if (breakPending_ || current_.pages == 0) ++current_.pages;
    breakPending_ = false;
}

void RecordingPage::setFontName(const QString& name)
{
    operation();
    font_.name = name;
}

void RecordingPage::setFontSize(double points)
{
    operation();
    font_.points = points;
}

void RecordingPage::setFontBold(bool bold)
{
    operation();
    font_.bold = bold;
}

void RecordingPage::setFontItalic(bool italic)
{
    operation();
    font_.italic = italic;
}

void RecordingPage::setPosition(int xTwips, int yTwips)
{
    operation();
    x_ = xTwips;
    y_ = yTwips;
}

void RecordingPage::print(const QString& text)
{
    operation();
    mark();
    current_.texts.push_back({current_.pages - 1, x_, y_, font_, text});
}

void RecordingPage::line(int x1Twips, int y1Twips, int x2Twips, int y2Twips)
{
    operation();
    mark();
    current_.lines.push_back({current_.pages - 1, x1Twips, y1Twips, x2Twips, y2Twips});
}

void RecordingPage::newPage()
{
    operation();
    // A second break in a row leaves a blank page behind, as on paper.
    if (breakPending_) ++current_.pages;
    if (current_.pages == 0) current_.pages = 1;
    breakPending_ = true;
}

void RecordingPage::endDoc()
{
    operation();
    if (current_.pages > 0) jobs_.push_back(current_);
    current_ = Document();
    breakPending_ = false;
}

std::vector<RecordingPage::Text> RecordingPage::textsOn(const Document& doc, int page)
{
    std::vector<Text> out;
    for (const Text& t : doc.texts)
        if (t.page == page) out.push_back(t);
    return out;
}

std::vector<RecordingPage::Line> RecordingPage::linesOn(const Document& doc, int page)
{
    std::vector<Line> out;
    for (const Line& l : doc.lines)
        if (l.page == page) out.push_back(l);
    return out;
}

} // namespace quillon
