#include "shell/Settings.h"
#include "inventory/RecentFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace tarmelo::shell;

namespace {

QString str(bool b) {
    return b ? "1" : "0";
}
QString str(int n) {
    return QString::number(n);
}
QString str(const std::optional<int>& n) {
    return n ? QString::number(*n) : "none";
}
QString str(const std::optional<QDate>& d) {
    return d ? d->toString(Qt::ISODate) : "none";
}

QStringList structure(const QByteArray& ini) {
    QStringList out;
    for (const QByteArray& raw : ini.split('\n')) {
        const QByteArray line = raw.trimmed();
        if (line.isEmpty())
            continue;
        out << QString::fromUtf8(line.startsWith('[') ? line : line.left(line.indexOf('=')));
    }
    return out;
}

Settings fullSettings() {
    Settings s;
    s.Maximized = true;
    s.Width = 1024;
    s.Height = 700;
    s.ScreenX = 1920;
    s.ScreenY = 1080;
    s.Left = 12;
    s.Top = 0;
    for (int n = 0; n < 10; ++n)
        s.col[n] = 40 + n;
    s.Username = "Händler Müller";
    s.Password = "Pässwörd€kvzq";
    s.SavePassword = true;
    s.File = {"/home/h/Bestand ü.zip", "/tmp/b.zip", "/tmp/c.csv", "/tmp/d.zip"};
    s.RenameMaskChecked = false;
    s.RenameMaskText = "[N]-[C]";
    for (int n = 0; n < 10; ++n)
        s.RenameMaskItem[n] = QString("M%1_[C]").arg(n);
    s.SkipNonSelected = true;
    s.BeginningChars = 2;
    s.EndingChars = -3;
    s.SearchText = "AB 12";
    s.ReplaceText = "x_y";
    s.CounterStart = 100;
    s.CounterStep = 5;
    s.CounterDigits = 4;
    s.ActItem = 7;
    s.ShowTipps = false;
    s.ResetDays = true;
    s.AutomaticIntNr = false;
    s.SortColumn = 11;
    s.SortDescending = true;
    s.LastUpdate = QDate(2024, 3, 5);
    return s;
}

} // namespace

TEST(Settings, EmptyFileGivesDefaults) {
    const Settings s = readSettings(QByteArray());
    EXPECT_EQ(s, Settings{});
    EXPECT_TRUE(s.ShowTipps);
    EXPECT_TRUE(s.AutomaticIntNr);
    EXPECT_TRUE(s.RenameMaskChecked);
    EXPECT_EQ(s.RenameMaskText, "[N]");
    EXPECT_EQ(s.ActItem, -1);
    EXPECT_EQ(s.ScreenX, -1);
    EXPECT_FALSE(s.Width.has_value());
    EXPECT_FALSE(s.LastUpdate.has_value());
    EXPECT_EQ(s.CounterDigits, 1);
}

TEST(Settings, ValidationRules) {
    using Get = std::function<QString(const Settings&)>;
    const Get mask = [](const Settings& s) { return s.RenameMaskText; };
    const Get item3 = [](const Settings& s) { return s.RenameMaskItem[3]; };
    const Get search = [](const Settings& s) { return s.SearchText; };
    const Get replace = [](const Settings& s) { return s.ReplaceText; };
    const Get autoNr = [](const Settings& s) { return str(s.AutomaticIntNr); };
    const Get tips = [](const Settings& s) { return str(s.ShowTipps); };
    const Get act = [](const Settings& s) { return str(s.ActItem); };
    const Get digits = [](const Settings& s) { return str(s.CounterDigits); };
    const Get screenX = [](const Settings& s) { return str(s.ScreenX); };
    const Get width = [](const Settings& s) { return str(s.Width); };
    const Get password = [](const Settings& s) { return s.Password; };
    const Get date = [](const Settings& s) { return str(s.LastUpdate); };
    const QByteArray a60(60, 'a');
    const QByteArray b45(45, 'b');
    // kvzq scrambled with kvzq gives four zero bytes.
    const QByteArray pw = "[Login]\nPassword=00000000\nSavePassword=";
    struct Case {
        QByteArray ini;
        Get get;
        QString expected;
    } cases[] = {
        {"[UpdateIntNr]\nRenameMaskText=[N]-[C]", mask, "[N]-[C]"},
        {"[UpdateIntNr]\nRenameMaskText=[N]/[C]", mask, "[N]"},
        {"[UpdateIntNr]\nRenameMaskText=[N]\xC3\xBC", mask, "[N]"},
        {"[UpdateIntNr]\nRenameMaskText=", mask, ""},
        {"[UpdateIntNr]\nRenameMaskText=\t[C] x\t", mask, "[C] x"},
        {"[UpdateIntNr]\nRenameMaskText=" + a60, mask, QString(50, 'a')},
        {"[UpdateIntNr]\nRenameMaskText=" + a60 + "/", mask, QString(50, 'a')}, // cut before the check
        {"[UpdateIntNr]\nRenameMaskItem3=A/B", item3, ""},
        {"[UpdateIntNr]\nRenameMaskItem3=Ab_1 [N]", item3, "Ab_1 [N]"},
        {"[UpdateIntNr]\nRenameMaskItem3=" + a60, item3, QString(50, 'a')},
        {"[UpdateIntNr]\nSearchText=[N]", search, ""},
        {"[UpdateIntNr]\nSearchText=" + b45, search, QString(40, 'b')},
        {"[UpdateIntNr]\nReplaceText=a-b_C 9", replace, "a-b_C 9"},
        {"[UpdateIntNr]\nReplaceText=\xC3\xA4", replace, ""},
        {"[UpdateIntNr]\nCounterDigits=99", digits, "99"}, // left to the renaming dialog
        {"[Misc]\nAutomaticIntNr=0", autoNr, "0"},
        {"[Misc]\nAutomaticIntNr=7", autoNr, "1"},
        {"[Misc]\nAutomaticIntNr=-1", autoNr, "1"},
        {"[Misc]\nAutomaticIntNr=nein", autoNr, "1"},
        {"[Misc]\nAutomaticIntNr=", autoNr, "1"},
        {"[misc]\nautomaticintnr=0", autoNr, "0"},
        {"[Tipps]\nShowTipps=0", tips, "0"},
        {"[Tipps]\nShowTipps=true", tips, "1"},
        {"[Tipps]\nActItem=12", act, "12"},
        {"[Tipps]\nActItem=12x", act, "-1"},
        {"[Tipps]\nActItem=99999999999", act, "-1"},
        {"[Size]\nScreenX=abc", screenX, "-1"},
        {"[Size]\nWidth=abc", width, "none"},
        {"[Size]\nWidth=800", width, "800"},
        {pw + "1", password, QString::fromLatin1("kvzq")},
        {pw + "0", password, ""},
        {"[Login]\nPassword=00000000", password, ""},
        {"[Login]\nPassword=4a4B4\nSavePassword=1", password, QString::fromLatin1(QByteArray("\x21\x3D"))},
        {"[Update]\nLastUpdate=05.03.2024", date, "2024-03-05"},
        {"[Update]\nLastUpdate= 5.3.2024 ", date, "2024-03-05"},
        {"[Update]\nLastUpdate=31.02.2024", date, "none"},
        {"[Update]\nLastUpdate=gestern", date, "none"},
        {"[Update]\nLastUpdate=", date, "none"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.get(readSettings(c.ini)), c.expected) << c.ini.toStdString();
}

TEST(Settings, FullRoundTrip) {
    const Settings s = fullSettings();
    EXPECT_EQ(readSettings(writeSettings(s)), s);
    EXPECT_EQ(readSettings(writeSettings(Settings{})), Settings{});
}

TEST(Settings, WrittenOrderOfSectionsAndKeys) {
    QStringList expected = {"[Size]",  "Maximized",  "Width", "Height", "ScreenX",
                            "ScreenY", "[Position]", "Left",  "Top",    "[Table]"};
    for (int n = 0; n < 10; ++n)
        expected << QString("col%1").arg(n);
    expected << "SortColumn"
             << "SortDescending"
             << "[Login]"
             << "Username"
             << "Password"
             << "SavePassword"
             << "[Recent]";
    for (int n = 1; n <= 4; ++n)
        expected << QString("File%1").arg(n);
    expected << "[UpdateIntNr]"
             << "RenameMaskChecked"
             << "RenameMaskText";
    for (int n = 0; n < 10; ++n)
        expected << QString("RenameMaskItem%1").arg(n);
    expected << "SkipNonSelected"
             << "BeginningChars"
             << "EndingChars"
             << "SearchText"
             << "ReplaceText"
             << "CounterStart"
             << "CounterStep"
             << "CounterDigits"
             << "[Tipps]"
             << "ActItem"
             << "ShowTipps"
             << "[Misc]"
             << "ResetDays"
             << "AutomaticIntNr"
             << "[Backup]"
             << "BackupLimitMB";
    Settings s = fullSettings();
    s.LastUpdate.reset();
    EXPECT_EQ(structure(writeSettings(s)), expected); // no valid date: no [Update] section
    expected << "[Update]"
             << "LastUpdate";
    EXPECT_EQ(structure(writeSettings(fullSettings())), expected);
}

TEST(Settings, WrittenValuesAndText) {
    const QByteArray ini = writeSettings(fullSettings());
    EXPECT_TRUE(ini.contains("\nMaximized=1\n"));
    EXPECT_TRUE(ini.contains("\nLastUpdate=05.03.2024\n"));
    EXPECT_TRUE(ini.contains("\nFile1=/home/h/Bestand \xC3\xBC.zip\n")); // UTF-8
    Settings noSave = fullSettings();
    noSave.SavePassword = false;
    EXPECT_TRUE(writeSettings(noSave).contains("\nPassword=\n"));
    // A line break in a value must not inject keys.
    Settings evil;
    evil.Username = "x\nSavePassword=1\r\n[Misc]\nAutomaticIntNr=0";
    const Settings back = readSettings(writeSettings(evil));
    EXPECT_FALSE(back.SavePassword);
    EXPECT_TRUE(back.AutomaticIntNr);
}

TEST(Settings, PasswordScrambling) {
    EXPECT_EQ(Code("kvzq", "kvzq"), QByteArray(4, '\0'));
    EXPECT_EQ(Code("abcdef", "kvzq"), QByteArray("\x0A\x14\x19\x15\x0E\x10"));
    EXPECT_EQ(Code("abc", ""), "abc");
    EXPECT_EQ(StringToHexStr(QByteArray("\x00\x0a\xff\x7f", 4)), "000AFF7F");
    EXPECT_EQ(StringToHexStr({}), "");

    struct Hex {
        QString text;
        QByteArray bytes;
    } hexCases[] = {
        {"4a4B", "JK"}, {"4A4", "J"}, {"4AZZ41", "J"}, {"", ""}, {"G0", ""}, {"00ff", QByteArray("\x00\xff", 2)},
    };
    for (const Hex& h : hexCases)
        EXPECT_EQ(HexStrToString(h.text), h.bytes) << h.text.toStdString();

    const QString passwords[] = {"", "a", "geheim123", "kvzqkvzqk", "Pässwörd€", "k v\tz", QString(300, 'q')};
    for (const QString& p : passwords) {
        const QString stored = scramblePassword(p);
        EXPECT_EQ(stored.size(), 2 * p.toUtf8().size());
        EXPECT_EQ(stored, stored.toUpper());
        EXPECT_EQ(unscramblePassword(stored), p) << p.toStdString();
        Settings s;
        s.Password = p;
        s.SavePassword = true;
        EXPECT_EQ(readSettings(writeSettings(s)).Password, p) << p.toStdString();
    }
    // A password saved by the Windows program: scrambled Windows-1252 bytes.
    EXPECT_EQ(unscramblePassword(StringToHexStr(Code("Gr\xFC\xDF"
                                                     "e",
                                                     "kvzq"))),
              "Grüße");
}

TEST(Settings, Windows1252File) {
    const QByteArray ini = "[Recent]\r\nFile1=C:\\Autos\\M\xFCller.zip\r\nFile2=  D:\\\xC4rger.zip \r\n"
                           "[Login]\r\nUsername=J\xF6rg\r\n[UpdateIntNr]\r\nRenameMaskText=[N]\xE4\r\n";
    const Settings s = readSettings(ini);
    EXPECT_EQ(s.File[0], "C:\\Autos\\Müller.zip");
    EXPECT_EQ(s.File[1], "D:\\Ärger.zip");
    EXPECT_EQ(s.Username, "Jörg");
    EXPECT_EQ(s.RenameMaskText, "[N]");
    // A UTF-8 byte order mark is not part of the first section name.
    EXPECT_EQ(readSettings("\xEF\xBB\xBF[Misc]\nResetDays=1\n").ResetDays, true);
}

TEST(Settings, UserNameReadUnchanged) {
    // Blanks around the name are part of it; recent paths are trimmed as before.
    const struct {
        QByteArray ini;
        QString username;
    } cases[] = {
        {"[Login]\r\nUsername=  anna \r\n", "  anna "},
        {"[login]\nUSERNAME =\tb\t\n[Recent]\nUsername=x\n", "\tb\t"},
        {"[Login]\nUsername=a\nUsername= zwei\n", " zwei"},
        {"[Misc]\nUsername= fremd\n", ""},
        // What the writer cannot keep ends the value: a NUL byte, a lone CR.
        {QByteArray("[Login]\nUsername=au\xff\0us\n", 24), QStringLiteral("au\u00ff")},
        {"[Login]\rUsername= cr\rPassword=x\r", " cr"},
    };
    for (const auto& c : cases) {
        const Settings read = readSettings(c.ini);
        EXPECT_EQ(read.Username, c.username) << c.ini.toStdString();
        EXPECT_EQ(readSettings(writeSettings(read)).Username, c.username) << c.ini.toStdString();
    }
    Settings s;
    s.Username = QStringLiteral(" Händler ");
    s.File[0] = QStringLiteral("/a.zip");
    EXPECT_EQ(readSettings(writeSettings(s)).Username, s.Username);
}

TEST(Settings, RecentGapPass) {
    using F = std::array<QString, 4>;
    struct Case {
        F in, out;
    } cases[] = {
        {{"", "", "C", "D"}, {"", "C", "D", ""}},     {{"", "", "C", ""}, {"", "C", "", ""}},
        {{"A", "", "C", "D"}, {"A", "C", "D", ""}},   {{"", "B", "", "D"}, {"B", "", "D", ""}},
        {{"A", "B", "C", "D"}, {"A", "B", "C", "D"}}, {{"", "", "", "D"}, {"", "", "D", ""}},
        {{"", "", "", ""}, {"", "", "", ""}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(tarmelo::inventory::closeRecentGaps(QStringList(c.in.begin(), c.in.end())),
                  QStringList(c.out.begin(), c.out.end()))
            << c.in[0].toStdString() << c.in[1].toStdString();

    const Settings s = readSettings("[Recent]\nFile1=\nFile2=  \nFile3=/a.zip\nFile4=/b.zip\n");
    EXPECT_EQ(s.File, (F{"", "/a.zip", "/b.zip", ""}));
}

TEST(Settings, WindowPlacement) {
    const QSize screen(1920, 1080);
    const QRect current(100, 50, 761, 570);
    std::array<int, 10> designed{};
    designed.fill(60);
    struct Case {
        const char* name;
        int screenX, screenY;
        std::optional<int> left, top;
        bool fromFile;
        QPoint topLeft;
    } cases[] = {
        {"same screen", 1920, 1080, 10, 20, true, {10, 20}},
        {"other width", 1280, 1080, 10, 20, false, {100, 50}},
        {"other height", 1920, 1024, 10, 20, false, {100, 50}},
        {"never written", -1, -1, 10, 20, false, {100, 50}},
        {"left at screen width", 1920, 1080, 1920, 20, true, {1920, 20}},
        {"top at screen height", 1920, 1080, 10, 1080, true, {10, 50}},
        {"top just inside", 1920, 1080, 10, 1079, true, {10, 1079}},
        {"negatives", 1920, 1080, -1, -5, true, {100, 50}},
        {"absent position", 1920, 1080, std::nullopt, std::nullopt, true, {100, 50}},
    };
    for (const Case& c : cases) {
        Settings s;
        s.ScreenX = c.screenX;
        s.ScreenY = c.screenY;
        s.Left = c.left;
        s.Top = c.top;
        s.Width = 1000;
        s.Height = 800;
        s.Maximized = true;
        s.col[0] = 33;
        const WindowPlacement p = placeWindow(s, screen, current, designed);
        EXPECT_EQ(p.fromFile, c.fromFile) << c.name;
        EXPECT_EQ(p.rect.topLeft(), c.topLeft) << c.name;
        EXPECT_EQ(p.rect.size(), c.fromFile ? QSize(1000, 800) : current.size()) << c.name;
        EXPECT_EQ(p.maximized, c.fromFile) << c.name;
        EXPECT_EQ(p.columns[0], c.fromFile ? 33 : 60) << c.name;
        EXPECT_EQ(p.columns[9], 60) << c.name; // absent column keeps its width
    }
}

TEST(Settings, PortablePathSelection) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString beside = dir.filePath("config.ini");
    const QString user = settingsPath(dir.path());
    EXPECT_NE(user, beside);
    EXPECT_TRUE(user.endsWith("/config.ini"));

    QFile f(beside);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    EXPECT_EQ(settingsPath(dir.path()), beside);

    QDir(dir.path()).mkdir("sub");
    QDir(dir.path()).mkdir("sub/config.ini"); // a folder of that name is not a settings file
    EXPECT_NE(settingsPath(dir.filePath("sub")), dir.filePath("sub/config.ini"));
}

TEST(Settings, AtomicSaveAndLoad) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath("neu/tarmelo/config.ini");
    EXPECT_EQ(loadSettingsFile(path), Settings{});

    QString error;
    ASSERT_TRUE(saveSettingsFile(path, Settings{}, &error)) << error.toStdString();
    ASSERT_TRUE(saveSettingsFile(path, fullSettings(), &error)) << error.toStdString();
    EXPECT_EQ(loadSettingsFile(path), fullSettings());
    EXPECT_EQ(QDir(dir.filePath("neu/tarmelo")).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{"config.ini"});

    // The parent is a file: the save fails with a message.
    QFile blocker(dir.filePath("datei"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    error.clear();
    EXPECT_FALSE(saveSettingsFile(dir.filePath("datei/config.ini"), fullSettings(), &error));
    EXPECT_FALSE(error.isEmpty());
}

// config.ini holds the scrambled password: only its owner may read it, from the first byte on, also when an
// older version left it readable for everyone.
TEST(Settings, OnlyTheOwnerReadsConfigIni) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath("config.ini");
    const auto mode = [&path] {
        struct stat st {};
        return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? int(st.st_mode & 0777) : -1;
    };
    Settings s = fullSettings();
    s.SavePassword = true;
    s.Password = "geheim";
    const struct {
        const char* name;
        int before; // -1: no file
        bool save;
        int after;
    } cases[] = {
        {"created", -1, true, 0600},
        {"replaced readable for all", 0644, true, 0600},
        {"read readable for all", 0644, false, 0600},
        {"read group-writable", 0660, false, 0600},
        {"read already private", 0600, false, 0600},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(path);
        if (c.before >= 0) {
            ASSERT_TRUE(saveSettingsFile(path, s, nullptr));
            ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), mode_t(c.before)), 0);
        }
        if (c.save)
            ASSERT_TRUE(saveSettingsFile(path, s, nullptr));
        else
            EXPECT_EQ(loadSettingsFile(path).Password, "geheim");
        EXPECT_EQ(mode(), c.after);
    }
}
