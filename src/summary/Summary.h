#pragma once
// The summary window: every installed face, one row each, sixteen rows a page, the face's name and ":" in
// the ordinary lettering and beside it a fixed sample drawn in the face. Modeless; built afresh each time it
// opens (it deletes itself when closed), so each opening starts again at the first face.
//
// The owner creates it with the face list, the main window's outer rectangle, and what ending the program
// means; then shows it. Escape closes it; Escape with Shift, Ctrl or Alt closes it and calls `endProgram`,
// which closes the program's other windows and ends the program.

#include "summary/SummaryScroll.h"

#include <QStringList>
#include <QWidget>

#include <functional>
#include <memory>
#include <vector>

class QComboBox;
class QMenu;
class QScrollBar;

namespace quillon {

namespace platform {
class FaceRasterizer;
class FontSystem;
} // namespace platform

class PictureBox;
class SummaryPainter;

class Summary final : public QWidget {
    Q_OBJECT
public:
    /// fontNames: the catalogue's face list (copied). ownerFrame: the main window's outer rectangle in
    /// pixels, which this window centres itself over. endProgram: called after this window has closed on
    /// Shift/Ctrl/Alt+Escape; may be empty. parent: the owning window (this stays a separate top-level
    /// window above it, without a task bar entry); may be null.
    Summary(const QStringList& fontNames, const QRect& ownerFrame, std::function<void()> endProgram,
            QWidget* parent = nullptr);
    ~Summary() override;

    /// Draws the faces as the font system chooses them for their names (see SummaryPainter::useFontSystem);
    /// call before the window is shown. Without it, names go to Qt as family names.
    void useFontSystem(platform::FontSystem* fonts, platform::FaceRasterizer* rasterizer);

    /// Offers "Print All Faces…" in the window's context menu: print is handed every face in the window's
    /// order. Without it and setFindFaces (the default) the window has no context menu.
    void setPrintAllFaces(std::function<void(const QStringList& faces)> print);
    /// Offers "Find Faces…" in the window's context menu, which runs `find`.
    void setFindFaces(std::function<void()> find);
    /// The context menu as the right button opens it; null when it offers nothing. The caller owns it.
    QMenu* makeContextMenu();
    /// Every face in the window's order, as the book prints them.
    QStringList faces() const;

    /// The installed fonts changed: the window shows `fontNames` (sorted as at its opening) from the same
    /// top row where it still exists.
    void setFontNames(const QStringList& fontNames);

    /// The sixteen-row page from topIndex(): cleared, then each face's row; rows past the last face stay
    /// empty. A face that cannot be drawn leaves its row as far as it got and drawing goes on.
    void DrawSummary();
    /// The main window's key codes: 27 Escape, 33 Page Up, 34 Page Down, 38 Up, 40 Down. shift: 1 Shift,
    /// 2 Ctrl, 4 Alt, added.
    void Form_KeyDown(int keyCode, int shift);
    /// Redraws the current page; runs each time the window becomes active.
    void Form_Activate();
    /// The scroll bar's value changed: follow it and redraw.
    void VScroll_Change();

    int faceCount() const { return faceCount_; }
    int topIndex() const { return topIndex_; }
    QString labelFace() const { return labelFace_; }
    /// Face indexes (into the sorted store) drawn on the current page, top row first.
    const std::vector<int>& drawnRows() const { return drawnRows_; }
    /// How many times the page has been drawn since the window was made.
    int drawCount() const { return drawCount_; }
    /// The drawn page as it shows.
    const QImage& picture() const;

    PictureBox* FontPicture = nullptr;
    QScrollBar* VScroll = nullptr;
    QComboBox* fontList = nullptr; // hidden; only keeps the names sorted

protected:
    /// Key preview: every key reaches Form_KeyDown before the control that has the focus.
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void Form_Load(const QStringList& fontNames, const QRect& ownerFrame);
    /// Fills the sorted list and the scroll bar, the page starting at row `top` (or the last page).
    void fillNames(const QStringList& fontNames, int top);

    std::function<void()> endProgram_;
    std::function<void(const QStringList& faces)> printAllFaces_;
    std::function<void()> findFaces_;
    std::unique_ptr<SummaryPainter> painter_;
    SummaryScroll scroll_;
    int faceCount_ = 0;
    int topIndex_ = 0;
    QString labelFace_;
    std::vector<int> drawnRows_;
    int drawCount_ = 0;
};

} // namespace quillon
