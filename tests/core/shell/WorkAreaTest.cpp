#include "shell/WorkArea.h"

#include <gtest/gtest.h>

using namespace tarmelo::shell;

TEST(WorkArea, WindowFitsOntoAnAvailableScreen) {
    const QRect small(0, 0, 1024, 740);     // 1024x768 less a panel
    const QRect right(1024, 0, 1920, 1050); // a second, larger screen beside it
    const QMargins frame(2, 28, 2, 2);
    const struct {
        const char* name;
        QRect window;
        QList<QRect> screens;
        QMargins frame;
        QRect expected;
    } cases[] = {
        {"fits already", {100, 50, 800, 600}, {small}, {}, {100, 50, 800, 600}},
        {"centred wider than the screen", {-113, 4, 1250, 760}, {small}, {}, {0, 0, 1024, 740}},
        {"left off-screen", {-300, 100, 800, 600}, {small}, {}, {0, 100, 800, 600}},
        {"below the bottom", {100, 700, 800, 600}, {small}, {}, {100, 140, 800, 600}},
        {"room for the title bar", {0, 0, 800, 600}, {small}, frame, {2, 28, 800, 600}},
        {"too tall with its frame", {0, 0, 800, 740}, {small}, frame, {2, 28, 800, 710}},
        {"on the second screen", {1500, 100, 900, 700}, {small, right}, {}, {1500, 100, 900, 700}},
        {"hanging off the second screen", {2600, 500, 900, 700}, {small, right}, {}, {2044, 350, 900, 700}},
        {"on a screen that is gone", {3000, 200, 900, 700}, {small}, {}, {124, 40, 900, 700}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(fitOntoScreens(c.window, c.screens, c.frame), c.expected) << c.name;
}
