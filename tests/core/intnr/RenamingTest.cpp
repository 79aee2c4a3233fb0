#include "intnr/Renaming.h"

#include <gtest/gtest.h>

using namespace tarmelo;
using intnr::RenameOptions;

namespace {

const QDateTime kNow(QDate(2024, 1, 31), QTime(9, 5, 7));

RenameOptions mask(const char* m, int start = 1, int step = 1, int digits = 1, bool skip = false) {
    RenameOptions o;
    o.mask = QString::fromUtf8(m);
    o.start = start;
    o.step = step;
    o.digits = digits;
    o.skipNonSelected = skip;
    return o;
}

RenameOptions removal(int beginning, int ending) {
    RenameOptions o;
    o.maskMode = false;
    o.beginning = beginning;
    o.ending = ending;
    return o;
}

RenameOptions withSearch(RenameOptions o, const char* search, const char* replace) {
    o.search = QString::fromUtf8(search);
    o.replace = QString::fromUtf8(replace);
    return o;
}

struct Case {
    const char* name;
    QStringList olds;
    QList<bool> ticked; // empty: all ticked
    RenameOptions options;
    QStringList expected;
};

const QString kF = intnr::kFaultyNumber;

const Case kCases[] = {
    {"old number and counter", {"A", "B", "C"}, {}, mask("[N]-[C]", 1, 1, 3), {"A-001", "B-002", "C-003"}},
    {"skipping an unticked row",
     {"A", "B", "C"},
     {true, false, true},
     mask("[N]-[C]", 1, 1, 3, true),
     {"A-001", kF, "C-002"}},
    {"unticked row counts without skipping",
     {"A", "B", "C"},
     {true, false, true},
     mask("[N]-[C]", 1, 1, 3),
     {"A-001", "B-002", "C-003"}},
    {"skipping keeps masks without counter", {"A", "B"}, {false, true}, mask("[N]x", 1, 1, 1, true), {"Ax", "Bx"}},
    {"negative counter", {"", "", "", ""}, {}, mask("[C]", -2, 1, 2), {"-02", "-01", "00", "01"}},
    {"step zero", {"", "", ""}, {}, mask("K[C]", 5, 0, 1), {"K5", "K5", "K5"}},
    {"negative step and long values are not cut", {"", ""}, {}, mask("[C]", 1234, -2000, 3), {"1234", "-766"}},
    {"date and time", {"x"}, {}, mask("[YMD][hms]"), {"240131090507"}},
    {"tokens are case-sensitive", {"x"}, {}, mask("[n]"), {kF}},
    {"unknown token and lone brackets", {"x", "y", "z"}, {}, mask("[X]"), {kF, kF, kF}},
    {"bracket from the old number", {"A[1]"}, {}, mask("[N]"), {kF}},
    {"lone bracket", {"a"}, {}, mask("[N]]"), {kF}},
    {"mask trimmed of blanks and controls", {"a"}, {}, mask(" \t[N]_1 \n"), {"a_1"}},
    {"blanks inside the mask stay", {"a"}, {}, mask("[N] 1"), {"a 1"}},
    {"cut to 40",
     {"0123456789012345678901234567890123456789"},
     {},
     mask("[N]-[N]"),
     {"0123456789012345678901234567890123456789"}},
    {"removal", {"ABC123"}, {}, removal(2, 1), {"C12"}},
    {"removal of more than the text at the end", {"ABC123"}, {}, removal(0, 7), {""}},
    {"removal of more than the text at the beginning", {"ABC"}, {}, removal(5, 0), {""}},
    {"removal of exactly the text", {"ABC"}, {}, removal(1, 2), {""}},
    {"search removes every hyphen", {"A-1-2"}, {}, withSearch(mask("[N]"), "-", ""), {"A12"}},
    {"search is case-sensitive", {"Aa"}, {}, withSearch(mask("[N]"), "a", "x"), {"Ax"}},
    {"replacement is not rescanned", {"aa"}, {}, withSearch(mask("[N]"), "a", "aa"), {"aaaa"}},
    {"empty search changes nothing", {"ab"}, {}, withSearch(mask("[N]"), "", "x"), {"ab"}},
    {"search with blanks as typed", {"a b"}, {}, withSearch(mask("[N]"), " ", "_"), {"a_b"}},
    {"search after removal", {"X-12-Y"}, {}, withSearch(removal(1, 1), "-", "/"), {"/12/"}},
    {"replacement may create an error", {"ab"}, {}, withSearch(mask("[N]"), "a", "["), {kF}},
    {"umlauts of old numbers", {"Müller"}, {}, mask("[N]-[C]", 7), {"Müller-7"}},
};

TEST(Renaming, Preview) {
    for (const Case& c : kCases) {
        const QList<bool> ticked = c.ticked.isEmpty() ? QList<bool>(c.olds.size(), true) : c.ticked;
        EXPECT_EQ(intnr::previewNumbers(c.olds, ticked, c.options, kNow), c.expected) << c.name;
    }
}

TEST(Renaming, MaskOf45GivesFortyCharacters) {
    const QString m = QStringLiteral("[N]") + QString(42, u'x');
    RenameOptions o = mask("");
    o.mask = m;
    const QStringList r = intnr::previewNumbers({QString(18, u'a')}, {true}, o, kNow);
    EXPECT_EQ(r[0], QString(18, u'a') + QString(22, u'x'));
}

TEST(Renaming, CounterFormatting) {
    const struct {
        qint64 value;
        int digits;
        const char* text;
    } table[] = {{7, 3, "007"}, {-5, 3, "-005"}, {1234, 3, "1234"}, {0, 1, "0"}, {-10000, 10, "-0000010000"}};
    for (const auto& t : table)
        EXPECT_EQ(intnr::formatCounter(t.value, t.digits), QString::fromLatin1(t.text));
}

TEST(Renaming, Refusals) {
    const struct {
        QStringList preview;
        QList<bool> ticked;
        intnr::Refusal refusal;
    } table[] = {
        {{"A", kF}, {true, true}, intnr::Refusal::FaultyMask},
        {{"A", kF}, {true, false}, intnr::Refusal::None},
        {{"A", "B"}, {false, false}, intnr::Refusal::NothingTicked},
        {{}, {}, intnr::Refusal::NothingTicked},
        {{""}, {true}, intnr::Refusal::None},
    };
    for (const auto& t : table)
        EXPECT_EQ(intnr::checkApply(t.preview, t.ticked), t.refusal) << t.preview.join(u',').toStdString();
    EXPECT_EQ(intnr::refusalMessage(intnr::Refusal::FaultyMask),
              QStringLiteral("Der eingegebene Umbenennmaske ist fehlerhaft. Eingabe überprüfen!"));
    EXPECT_EQ(intnr::refusalMessage(intnr::Refusal::NothingTicked),
              QStringLiteral("Es muss mindestens ein Fahrzeug zum Umbenennen der internen Nummer ausgewählt sein!"));
}

// The texts are held to the characters the dialog's fields take, and to their lengths: nothing is cut or dropped.
TEST(Renaming, TextsTheDialogWouldNotTake) {
    const struct {
        RenameOptions options;
        const char* message;
    } table[] = {
        {mask("[N]-[C]_x y"), ""},
        {withSearch(mask("[N]"), "-", "_"), ""},
        {mask("[N]☃"), "Das Zeichen \"☃\" ist in der Umbenennmaske nicht erlaubt."},
        {mask("[N]😀"), "Das Zeichen \"😀\" ist in der Umbenennmaske nicht erlaubt."},
        {mask("A/[C]"), "Das Zeichen \"/\" ist in der Umbenennmaske nicht erlaubt."},
        {mask(QByteArray(51, 'x').constData()), "Höchstens 50 Zeichen sind in der Umbenennmaske erlaubt."},
        {withSearch(mask("[N]"), "ä", ""), "Das Zeichen \"ä\" ist im Suchtext nicht erlaubt."},
        {withSearch(mask("[N]"), "[N]", ""), "Das Zeichen \"[\" ist im Suchtext nicht erlaubt."},
        {withSearch(removal(1, 0), "A", "€"), "Das Zeichen \"€\" ist im Ersetzungstext nicht erlaubt."},
        {withSearch(removal(1, 0), QByteArray(41, 'a').constData(), ""),
         "Höchstens 40 Zeichen sind im Suchtext erlaubt."},
        {[] {
             RenameOptions o = removal(1, 0);
             o.mask = QStringLiteral("\";"); // not used in removal mode
             return o;
         }(),
         ""},
    };
    for (const auto& t : table)
        EXPECT_EQ(intnr::checkTexts(t.options), QString::fromUtf8(t.message)) << t.options.mask.toStdString();
}

TEST(Renaming, ApplyOnlyTickedRows) {
    model::Inventory inv(3, model::newVehicle(1));
    inv[0].inr = "A";
    inv[1].inr = "B";
    inv[2].inr = "C";
    const QStringList preview{"", kF, QStringLiteral("Zür")};
    EXPECT_EQ(intnr::applyNumbers(inv, preview, {true, false, true}), 2);
    EXPECT_EQ(inv[0].inr, QByteArray());
    EXPECT_EQ(inv[1].inr, QByteArray("B"));
    EXPECT_EQ(inv[2].inr, QByteArray("Z\xfcr"));
}

TEST(Renaming, RememberedMasks) {
    const struct {
        const char* name;
        std::array<QString, 10> items;
        bool maskMode;
        QString mask;
        std::array<QString, 10> expected;
        QString storedText;
    } table[] = {
        {"new mask goes first, the earlier one is not repeated",
         {"Y[C]", "X[C]", "Z"},
         true,
         " X[C] ",
         {"X[C]", "Y[C]", "Z"},
         "X[C]"},
        {"removal mode keeps the list", {"Y[C]", "X[C]"}, false, "Q[C]", {"Y[C]", "X[C]"}, "Q[C]"},
        {"empty mask keeps the list", {"Y[C]"}, true, "  ", {"Y[C]"}, ""},
        {"ten at most",
         {"1", "2", "3", "4", "5", "6", "7", "8", "9", "10"},
         true,
         "new",
         {"new", "1", "2", "3", "4", "5", "6", "7", "8", "9"},
         "new"},
        {"repeats and empties of the file are left out", {"A", "", "A", "B"}, true, "B", {"B", "A"}, "B"},
    };
    for (const auto& t : table) {
        shell::Settings s;
        s.RenameMaskItem = t.items;
        RenameOptions o = intnr::optionsFromSettings(s);
        o.maskMode = t.maskMode;
        o.mask = t.mask;
        intnr::storeOptions(s, o, intnr::rememberedMasks(s));
        EXPECT_EQ(s.RenameMaskItem, t.expected) << t.name;
        EXPECT_EQ(s.RenameMaskText, t.storedText) << t.name;
        EXPECT_EQ(s.RenameMaskChecked, t.maskMode) << t.name;
    }
}

TEST(Renaming, OptionsFromAndToSettings) {
    shell::Settings s;
    s.CounterStart = 20000;
    s.CounterStep = -500;
    s.CounterDigits = 11;
    s.BeginningChars = -3;
    s.EndingChars = 41;
    s.SearchText = QString(45, u's');
    RenameOptions o = intnr::optionsFromSettings(s);
    EXPECT_EQ(o.start, 10000);
    EXPECT_EQ(o.step, -100);
    EXPECT_EQ(o.digits, 1);
    EXPECT_EQ(o.beginning, 0);
    EXPECT_EQ(o.ending, 40);
    EXPECT_EQ(o.search.size(), 40);

    o.search = QStringLiteral(" a ");
    o.replace = QString(50, u'r');
    o.skipNonSelected = true;
    o.digits = 4;
    intnr::storeOptions(s, o, {});
    EXPECT_EQ(s.SearchText, QStringLiteral("a"));
    EXPECT_EQ(s.ReplaceText.size(), 40);
    EXPECT_TRUE(s.SkipNonSelected);
    EXPECT_EQ(s.CounterDigits, 4);
    EXPECT_EQ(s.CounterStart, 10000);
}

} // namespace
