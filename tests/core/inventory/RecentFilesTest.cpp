#include "inventory/RecentFiles.h"

#include <gtest/gtest.h>

using namespace tarmelo::inventory;

TEST(RecentFiles, AddToRecent) {
    struct Case {
        QStringList before;
        QString added;
        QStringList after;
    } cases[] = {
        {{"A", "B", "C", "D"}, "C", {"C", "A", "B", "D"}},
        {{"C", "A", "B", "D"}, "E", {"E", "C", "A", "B"}},
        {{"A", "", "D", ""}, "E", {"E", "A", "D", ""}},
        {{"A", "", "", "D"}, "E", {"E", "A", "", "D"}}, // one gap pass only
        {{"a.zip", "", "", ""}, "A.zip", {"A.zip", "a.zip", "", ""}},
        {{}, "X", {"X", "", "", ""}},
        {{"A", "B", "C", "D"}, "A", {"A", "B", "C", "D"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(addToRecent(c.before, c.added), c.after) << c.before.join(',').toStdString();
}

TEST(RecentFiles, GapPassAndCaptions) {
    EXPECT_EQ(closeRecentGaps({"A", "", "C", "D"}), QStringList({"A", "C", "D", ""}));
    EXPECT_EQ(closeRecentGaps({"", "", "C", ""}), QStringList({"", "C", "", ""}));
    EXPECT_EQ(recentCaption(1, ""), "&1 - (keine)");
    EXPECT_EQ(recentCaption(4, "/home/x/bestand.zip"), "&4 - /home/x/bestand.zip");
    EXPECT_EQ(recentCaption(2, "/home/x/A&B.zip"), "&2 - /home/x/A&&B.zip");
    EXPECT_EQ(recentCaption(3, "/h/%1&&%2.zip"), "&3 - /h/%1&&&&%2.zip");
}
