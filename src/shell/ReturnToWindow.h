#pragma once
// After a dialog over a secondary window closes, some window managers hand the focus to the main window
// instead of the window the dialog stood over (openbox never falls back to a utility window such as the
// summary), and the main window's activation closes the secondary windows. This takes that one activation
// back: the first activation of `main` within `within` of being made is kept from it, and `back` is
// activated again. It goes away with `back`, after that one activation, or when the time is up.

#include <QObject>
#include <QPointer>

#include <chrono>

class QWidget;

namespace quillon {

class ReturnToWindow final : public QObject {
public:
    ReturnToWindow(QWidget& main, QWidget& back, std::chrono::milliseconds within);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<QWidget> main_;
    QWidget& back_;
};

} // namespace quillon
