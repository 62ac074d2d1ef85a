// The main window's one activation that a window manager makes when a dialog over the summary goes away is
// taken back; the user's own later activation is not.
#include "shell/ReturnToWindow.h"

#include <QApplication>
#include <QEvent>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

namespace quillon {
namespace {

struct CountingWindow : QWidget {
    int activations = 0;
    void changeEvent(QEvent* event) override
    {
        if (event->type() == QEvent::ActivationChange && isActiveWindow()) ++activations;
        QWidget::changeEvent(event);
    }
};

TEST(ReturnToWindow, TakesBackOneActivationOfTheMainWindowWithinItsTime)
{
    CountingWindow main;
    QWidget back;
    main.show();
    back.show();
    new ReturnToWindow(main, back, std::chrono::milliseconds(5000));
    QApplication::setActiveWindow(&main);
    EXPECT_EQ(main.activations, 0);

    QApplication::setActiveWindow(&back);
    QApplication::setActiveWindow(&main); // the user's own, later
    EXPECT_EQ(main.activations, 1);

    QApplication::setActiveWindow(&back);
    new ReturnToWindow(main, back, std::chrono::milliseconds(1));
    QTest::qWait(20); // the time is up: it is gone
    QApplication::setActiveWindow(&main);
    EXPECT_EQ(main.activations, 2);
}

} // namespace
} // namespace quillon
