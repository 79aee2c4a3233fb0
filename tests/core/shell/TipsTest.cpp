#include "shell/Tips.h"
#include "shell/WorkArea.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace tarmelo::shell;

TEST(TipsTest, LinesEndAtAnyBreak) {
    const struct {
        QByteArray content;
        QList<QByteArray> lines;
    } cases[] = {
        {"", {}},
        {"eins", {"eins"}},
        {"eins\r\nzwei\r\n", {"eins", "zwei"}},
        {"eins\rzwei\ndrei", {"eins", "zwei", "drei"}},
        {"eins\r\n\r\ndrei\r\n", {"eins", "", "drei"}},
        {"\r\n", {""}},
        {"eins\n\r", {"eins", ""}},
        {"Gr\xfc\xdf"
         "e\r\n",
         {"Gr\xfc\xdf"
          "e"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(splitTipLines(c.content), c.lines) << c.content.toStdString();
}

TEST(TipsTest, RotationWrapsAndSurvivesOddStoredValues) {
    const struct {
        int actItem, count, next;
    } cases[] = {
        {-1, 3, 0}, {0, 3, 1}, {1, 3, 2}, {2, 3, 0}, {7, 3, 0}, {-5, 3, 0}, {-1, 1, 0}, {0, 1, 0}, {4, 0, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(nextTip(c.actItem, c.count), c.next) << c.actItem << "/" << c.count;
    EXPECT_EQ(tipsCaption(0, 3), " Wussten Sie schon? (1/3) ");
    EXPECT_EQ(tipsCaption(36, 37), " Wussten Sie schon? (37/37) ");
}

TEST(TipsTest, FileErrorsAreTheWindowTexts) {
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    const struct {
        const char* name;
        const char* content; // nullptr: no file
        int count;
        const char* error;
    } cases[] = {
        {"missing", nullptr, 0, "Die Datei \"tipps.dat\" befindet sich nicht im Installationsordner von Tarmelo!"},
        {"empty", "", 0, "Die Datei \"tipps.dat\" enthält keine gültigen Hinweise!"},
        {"three", "a\r\nb\r\nc\r\n", 3, ""},
    };
    for (const auto& c : cases) {
        const QString dir = tmp.filePath(c.name);
        ASSERT_TRUE(QDir().mkpath(dir));
        const QString path = dir + "/tipps.dat";
        if (c.content) {
            QFile f(path);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(c.content);
        }
        const TipsFile t = loadTips(path);
        EXPECT_EQ(t.lines.size(), c.count) << c.name;
        EXPECT_EQ(t.error, QString::fromUtf8(c.error)) << c.name;
    }
}

TEST(TipsTest, ShippedTipsAreWindows1252Lines) {
    const TipsFile t = loadTips(QDir::cleanPath(QStringLiteral(TARMELO_TEST_DATA "/../../share/tarmelo/tipps.dat")));
    ASSERT_TRUE(t.error.isEmpty()) << t.error.toStdString();
    EXPECT_GE(t.lines.size(), 25);
    EXPECT_LE(t.lines.size(), 40);
    for (const QByteArray& line : t.lines) {
        EXPECT_GT(line.size(), 20) << line.toStdString();
        // Valid UTF-8 with umlauts would show as two characters each in the window.
        for (char ch : line)
            EXPECT_NE(static_cast<unsigned char>(ch), 0xC3) << line.toStdString();
    }
}

TEST(TipsTest, WorkAreaResetKeepsUploadNumbersRecentAndLastUpdate) {
    Settings s;
    s.Username = "haendler";
    s.Password = "geheim";
    s.SavePassword = true;
    s.RenameMaskChecked = false;
    s.RenameMaskText = "[N]-[C]";
    s.RenameMaskItem[3] = "X[N]";
    s.SkipNonSelected = true;
    s.BeginningChars = 2;
    s.EndingChars = 3;
    s.SearchText = "a";
    s.ReplaceText = "b";
    s.CounterStart = 5;
    s.CounterStep = 2;
    s.CounterDigits = 4;
    s.ActItem = 12;
    s.ShowTipps = false;
    s.ResetDays = true;
    s.AutomaticIntNr = false;
    s.File[0] = "/tmp/a.zip";
    s.LastUpdate = QDate(2011, 3, 5);
    s.Width = 900;

    Settings expected;
    expected.ResetDays = true;
    expected.AutomaticIntNr = false;
    expected.File[0] = "/tmp/a.zip";
    expected.LastUpdate = QDate(2011, 3, 5);
    expected.Width = 900;

    resetRememberedOptions(s);
    EXPECT_EQ(s, expected);
}
