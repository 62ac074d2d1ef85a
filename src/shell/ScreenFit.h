#pragma once
// Keeps every window of the program within the screen it opens on. The windows place themselves by the
// written rules (centred over the main window, 600 twips above the middle of the screen); at a large scale
// or on a small screen that puts part of a window, its caption or its buttons, past the screen's edge,
// where a user cannot reach it. A window shown past the available area (the screen less its panels) is
// moved in as little as it takes; one that fits where it was placed stays there.
//
// It also gives each control of a window that is shown its tool tip, without the blanks the written tips
// carry, as its description for screen readers, where the control has none.

#include <QObject>

class QWidget;

namespace quillon {

class ScreenFit final : public QObject {
    Q_OBJECT
public:
    /// Watches every window of the application from now on, until destroyed.
    explicit ScreenFit(QObject* parent = nullptr);
    ~ScreenFit() override;

    /// Moves `window` within the available area of its screen (see keptWithin), counting its frame.
    static void fit(QWidget& window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

} // namespace quillon
