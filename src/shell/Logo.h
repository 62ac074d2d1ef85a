#pragma once
// The splash card shown while the main window starts: product name, version, the maker's copyright
// notice and "PLEASE WAIT... Setting up display data" on a magenta card with rounded corners. It takes no
// input and never closes itself: the main window shows it (showSplash, which returns after a one-second
// hold) and closes it.

#include <QIcon>
#include <QRegion>
#include <QWidget>

#include <array>
#include <chrono>

class QLabel;

namespace quillon {

namespace platform {
class SettingsStore;
}

class Logo final : public QWidget {
    Q_OBJECT
public:
    /// The card's client (and outer) size, twips.
    static constexpr int kWidth = 3975;
    static constexpr int kHeight = 2955;
    /// Diameter of the corner ellipses, pixels.
    static constexpr int kCorner = 40;
    static const QString kCopyright; // the notice with the registered sign at its end

    /// programIcon: the picture of Image2; a null icon draws the card's own. hold: how long activation
    /// holds, one second unless a caller (a test) needs less. parent: the window it is shown over, or null.
    /// serifFamily: the installed family the font mapper draws "Times New Roman" with; the name itself when
    /// not given, which Qt, not knowing it, resolves by searching every installed family.
    explicit Logo(const QIcon& programIcon = QIcon(), QWidget* parent = nullptr,
                  std::chrono::milliseconds hold = std::chrono::seconds(1),
                  const QString& serifFamily = QStringLiteral("Times New Roman"));

    /// Whether the splash is to be shown: the "ShowSplash" setting, read as a number, equals 1; an absent
    /// setting counts as 1. The main window asks this before it creates the card at all.
    static bool wanted(platform::SettingsStore& settings);
    /// The leading number of a setting text, as the settings are read everywhere: blanks ignored, then an
    /// optional sign, digits and fraction, or "&H"/"&O" and hexadecimal/octal digits; 0 when none.
    static double valOf(const QString& text);

    /// The window shape: the rounded rectangle from pixel (1, 1) to (width, height), right and bottom
    /// edges excluded, with 40 by 40 pixel corner ellipses. width and height are the outer size in pixels.
    static QRegion roundRegion(int width, int height);

    /// Waits `span` on the monotonic clock in an event loop that keeps painting but handles no user input.
    static void holdFor(std::chrono::milliseconds span);

    /// Runs Form_Load, shows the card centred on the screen, and runs Form_Activate; returns after the hold.
    void showSplash();
    void Form_Load();
    void Form_Activate();

    std::array<QLabel*, 4> Label{}; // indexes 0, 2 and 3 exist
    QLabel* Image1 = nullptr;
    QLabel* Image2 = nullptr;
    QLabel* Image3 = nullptr;
    QLabel* Message = nullptr;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void ShapeWindow(QWidget* window);

    std::chrono::milliseconds hold_;
    bool paintRounded_ = false; // where a mask only limits input (Wayland), the card paints its own corners
};

} // namespace quillon
