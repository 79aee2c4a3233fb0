#include "intnr/TformUpdateIntNr.h"

#include "common/Dialogs.h"
#include "common/VehicleChecklist.h"
#include "editor/FieldWidgets.h"
#include "model/Cp1252.h"
#include "print/FeatureList.h"
#include "print/PriceTexts.h"
#include "shell/Help.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace tarmelo::gui {

namespace {

enum Column { ColOld = ColFirstOwn, ColNew, ColumnCount };

const QColor kGrey(180, 180, 180);
const QColor kNewNumber(0, 64, 128);

struct Token {
    const char* text;
    const char* caption;
    const char* name;
};
const Token kTokens[4] = {{"[N]", "[N] Alte int. Nr.", "sb_N"},
                          {"[C]", "[C] Zähler        ", "sb_C"},
                          {"[YMD]", "[YMD] Datum  ", "sb_YMD"},
                          {"[hms]", "[hms] Zeit        ", "sb_hms"}};

QSpinBox* spin(QWidget* parent, const char* name, intnr::Range range, int value) {
    auto* s = new QSpinBox(parent);
    s->setObjectName(QLatin1StringView(name));
    s->setRange(range.min, range.max);
    s->setValue(value);
    return s;
}

// The value as typed when the field holds a whole number, otherwise the field's minimum: an emptied field is not
// its last value.
int spinValue(const QSpinBox* s) {
    bool ok = false;
    const int v = s->cleanText().toInt(&ok);
    return ok ? std::clamp(v, s->minimum(), s->maximum()) : s->minimum();
}

} // namespace

TformUpdateIntNr::TformUpdateIntNr(model::Inventory& vehicles, shell::Settings& settings, Clock clock, QWidget* parent)
    : QDialog(parent), vehicles_(vehicles), settings_(settings), clock_(std::move(clock)) {
    setObjectName(QStringLiteral("TformUpdateIntNr"));
    setWindowTitle(QStringLiteral("Aktualisierung interner Nummern"));

    IntNrList = new QTreeWidget(this);
    IntNrList->setObjectName(QStringLiteral("IntNrList"));
    IntNrList->setRootIsDecorated(false);
    IntNrList->setSelectionMode(QAbstractItemView::SingleSelection);
    IntNrList->setSelectionBehavior(QAbstractItemView::SelectRows);
    IntNrList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    IntNrList->setHeaderLabels({QStringLiteral("Nr."), QStringLiteral("Marke"), QStringLiteral("Modell"),
                                QStringLiteral("Preis (netto)"), QStringLiteral("Preis (brutto)"),
                                QStringLiteral("Alte interne Nr."), QStringLiteral("Neue interne Nr.")});
    // A little wider than the classic columns: German amounts with the currency need the room.
    const int widths[ColumnCount] = {40 + 20, 95, 135, 95, 95, 105, 105}; // the first holds the check box too
    for (int c = 0; c < ColumnCount; ++c)
        IntNrList->setColumnWidth(c, widths[c]);
    IntNrList->setMinimumHeight(180);

    rbRenameMask = new QRadioButton(QStringLiteral("Umbenennmaske"), this);
    rbRenameMask->setObjectName(QStringLiteral("rbRenameMask"));
    rbDeleteChar = new QRadioButton(QStringLiteral("Zeichen entfernen"), this);
    rbDeleteChar->setObjectName(QStringLiteral("rbDeleteChar"));
    comboRenameMask = new QComboBox(this);
    comboRenameMask->setObjectName(QStringLiteral("comboRenameMask"));
    comboRenameMask->setEditable(true);
    comboRenameMask->setMaxVisibleItems(10);
    comboRenameMask->setInsertPolicy(QComboBox::NoInsert);
    comboRenameMask->lineEdit()->setMaxLength(intnr::kMaskLength);
    // A key the mask cannot hold is discarded (comboRenameMaskKeyPress); pasted text is held to the same set.
    comboRenameMask->setValidator(new KeyFilterValidator(model::Filter::Mask, this));
    for (int t = 0; t < 4; ++t) {
        sb[t] = new QToolButton(this);
        sb[t]->setObjectName(QLatin1StringView(kTokens[t].name));
        sb[t]->setText(QString::fromUtf8(kTokens[t].caption));
        sb[t]->setProperty("tag", t + 1);
        sb[t]->setFocusPolicy(Qt::NoFocus);
        connect(sb[t], &QToolButton::clicked, this, [this, t] { sbClick(t + 1); });
    }
    seBeginning = spin(this, "seBeginning", intnr::kCharsRange, 0);
    seEnding = spin(this, "seEnding", intnr::kCharsRange, 0);
    seStart = spin(this, "seStart", intnr::kStartRange, 1);
    seStep = spin(this, "seStep", intnr::kStepRange, 1);
    comboDigits = new QComboBox(this);
    comboDigits->setObjectName(QStringLiteral("comboDigits"));
    for (int d = intnr::kDigitsRange.min; d <= intnr::kDigitsRange.max; ++d)
        comboDigits->addItem(QString::number(d));
    cbSkipNonSelected = new QCheckBox(QStringLiteral("Nicht selektierte Kfz überspringen"), this);
    cbSkipNonSelected->setObjectName(QStringLiteral("cbSkipNonSelected"));
    leSearch = new QLineEdit(this);
    leSearch->setObjectName(QStringLiteral("leSearch"));
    leReplace = new QLineEdit(this);
    leReplace->setObjectName(QStringLiteral("leReplace"));
    for (QLineEdit* e : {leSearch, leReplace}) {
        e->setMaxLength(intnr::kSearchLength);
        e->setValidator(new KeyFilterValidator(model::Filter::Inr, e));
    }

    auto* btnSelectAll = new QPushButton(QStringLiteral("Alle auswählen"), this);
    btnSelectAll->setObjectName(QStringLiteral("btnSelectAll"));
    auto* btnSelectNone = new QPushButton(QStringLiteral("Keine auswählen"), this);
    btnSelectNone->setObjectName(QStringLiteral("btnSelectNone"));
    btnOK = new QPushButton(QStringLiteral("&OK"), this);
    btnOK->setObjectName(QStringLiteral("btnOK"));
    btnOK->setDefault(true);
    auto* btnAbort = new QPushButton(QStringLiteral("&Abbrechen"), this);
    btnAbort->setObjectName(QStringLiteral("btnAbort"));
    auto* btnHelp = new QPushButton(QStringLiteral("&Hilfe"), this);
    btnHelp->setObjectName(QStringLiteral("btnHelp"));

    RefreshTimer = new QTimer(this);
    RefreshTimer->setObjectName(QStringLiteral("RefreshTimer"));
    RefreshTimer->setInterval(500);

    // Layout: list with its two buttons, then the mask and removal groups, counter and search, then the buttons.
    auto* listGroup = new QGroupBox(QStringLiteral(" Fahrzeuge "), this);
    auto* lg = new QVBoxLayout(listGroup);
    lg->addWidget(IntNrList);
    auto* selRow = new QHBoxLayout;
    selRow->addWidget(btnSelectAll);
    selRow->addWidget(btnSelectNone);
    selRow->addStretch();
    lg->addLayout(selRow);

    auto* optGroup = new QGroupBox(QStringLiteral(" Optionen "), this);
    auto* g = new QGridLayout(optGroup);
    g->addWidget(rbRenameMask, 0, 0);
    g->addWidget(comboRenameMask, 0, 1, 1, 4);
    auto* tokens = new QHBoxLayout;
    for (QToolButton* b : sb)
        tokens->addWidget(b);
    tokens->addStretch();
    g->addLayout(tokens, 1, 1, 1, 4);
    g->addWidget(rbDeleteChar, 2, 0);
    g->addWidget(new QLabel(QStringLiteral("Anfang:"), this), 2, 1);
    g->addWidget(seBeginning, 2, 2);
    g->addWidget(new QLabel(QStringLiteral("Ende:"), this), 2, 3);
    g->addWidget(seEnding, 2, 4);
    g->addWidget(new QLabel(QStringLiteral("Zähler Start:"), this), 3, 0);
    g->addWidget(seStart, 3, 1);
    g->addWidget(new QLabel(QStringLiteral("Schrittweite:"), this), 3, 2);
    g->addWidget(seStep, 3, 3);
    g->addWidget(new QLabel(QStringLiteral("Stellen:"), this), 4, 0);
    g->addWidget(comboDigits, 4, 1);
    g->addWidget(cbSkipNonSelected, 4, 2, 1, 3);
    g->addWidget(new QLabel(QStringLiteral("Suchen nach:"), this), 5, 0);
    g->addWidget(leSearch, 5, 1, 1, 4);
    g->addWidget(new QLabel(QStringLiteral("Ersetzen durch:"), this), 6, 0);
    g->addWidget(leReplace, 6, 1, 1, 4);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(btnHelp);
    buttons->addStretch();
    buttons->addWidget(btnOK);
    buttons->addWidget(btnAbort);

    auto* top = new QVBoxLayout(this);
    top->addWidget(listGroup, 1);
    top->addWidget(optGroup);
    top->addLayout(buttons);

    connect(rbRenameMask, &QRadioButton::clicked, this, &TformUpdateIntNr::rbRenameMaskClick);
    connect(rbDeleteChar, &QRadioButton::clicked, this, &TformUpdateIntNr::rbDeleteCharClick);
    connect(comboRenameMask, &QComboBox::editTextChanged, this, &TformUpdateIntNr::RefreshIntNrList);
    // The edit's own text too: an emptied field changes no value and emits nothing, but counts as the minimum.
    for (QSpinBox* s : {seBeginning, seEnding, seStart, seStep}) {
        connect(s, &QSpinBox::valueChanged, this, &TformUpdateIntNr::RefreshIntNrList);
        connect(s->findChild<QLineEdit*>(), &QLineEdit::textChanged, this, &TformUpdateIntNr::RefreshIntNrList);
    }
    connect(comboDigits, &QComboBox::currentIndexChanged, this, &TformUpdateIntNr::RefreshIntNrList);
    connect(cbSkipNonSelected, &QCheckBox::toggled, this, &TformUpdateIntNr::RefreshIntNrList);
    connect(leSearch, &QLineEdit::textChanged, this, &TformUpdateIntNr::RefreshIntNrList);
    connect(leReplace, &QLineEdit::textChanged, this, &TformUpdateIntNr::RefreshIntNrList);
    connect(IntNrList, &QTreeWidget::itemChanged, this, &TformUpdateIntNr::IntNrListChange);
    connect(btnSelectAll, &QPushButton::clicked, this, &TformUpdateIntNr::btnSelectAllClick);
    connect(btnSelectNone, &QPushButton::clicked, this, &TformUpdateIntNr::btnSelectNoneClick);
    connect(btnOK, &QPushButton::clicked, this, &TformUpdateIntNr::btnOKClick);
    connect(btnAbort, &QPushButton::clicked, this, &QDialog::reject);
    connect(btnHelp, &QPushButton::clicked, this, [] { Dialogs::showHelp(shell::kHelpRename); });
    Dialogs::bindHelpKey(this, shell::kHelpRename);
    connect(RefreshTimer, &QTimer::timeout, this, &TformUpdateIntNr::RefreshTimerTimer);

    FormCreate();
    // The options are in place before the first showing, so the preview is right even before it shows.
    FormShow();
    resize(sizeHint().expandedTo(QSize(IntNrList->header()->length() + 70, 560)));
}

void TformUpdateIntNr::FormCreate() {
    refreshAllowed_ = false;
    const QLocale locale;
    for (qsizetype i = 0; i < vehicles_.size(); ++i) {
        const model::TFahrzeug& v = vehicles_[i];
        QTreeWidgetItem* item = addVehicleRow(IntNrList, i, v, locale);
        item->setText(ColOld, model::fromCp1252(v.inr));
    }
    comboDigits->setCurrentIndex(0);
}

void TformUpdateIntNr::FormShow() {
    refreshAllowed_ = false;
    const intnr::RenameOptions o = intnr::optionsFromSettings(settings_);
    comboRenameMask->addItems(intnr::rememberedMasks(settings_));
    comboRenameMask->setEditText(o.mask);
    cbSkipNonSelected->setChecked(o.skipNonSelected);
    seBeginning->setValue(o.beginning);
    seEnding->setValue(o.ending);
    leSearch->setText(o.search);
    leReplace->setText(o.replace);
    seStart->setValue(o.start);
    seStep->setValue(o.step);
    comboDigits->setCurrentIndex(o.digits - intnr::kDigitsRange.min);
    refreshAllowed_ = true;
    if (o.maskMode) {
        rbRenameMask->setChecked(true);
        rbRenameMaskClick();
    } else {
        rbDeleteChar->setChecked(true);
        rbDeleteCharClick();
    }
    RefreshTimer->start();
}

void TformUpdateIntNr::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!shown_) {
        shown_ = true;
        (rbRenameMask->isChecked() ? static_cast<QWidget*>(comboRenameMask) : seBeginning)->setFocus();
    }
}

void TformUpdateIntNr::rbRenameMaskClick() {
    seBeginning->setEnabled(false);
    seEnding->setEnabled(false);
    comboRenameMask->setEnabled(true);
    for (QToolButton* b : sb)
        b->setEnabled(true);
    comboRenameMask->setFocus();
    RefreshIntNrList();
}

void TformUpdateIntNr::rbDeleteCharClick() {
    seBeginning->setEnabled(true);
    seEnding->setEnabled(true);
    comboRenameMask->setEnabled(false);
    for (QToolButton* b : sb)
        b->setEnabled(false);
    seBeginning->setFocus();
    RefreshIntNrList();
}

void TformUpdateIntNr::sbClick(int tag) {
    QLineEdit* edit = comboRenameMask->lineEdit();
    if (!comboRenameMask->hasFocus())
        edit->end(false);
    // insert() replaces the selection; the validator and the length limit still apply.
    edit->insert(QString::fromLatin1(kTokens[tag - 1].text));
}

void TformUpdateIntNr::setAllTicks(bool on) {
    const bool allowed = refreshAllowed_;
    refreshAllowed_ = false;
    for (int i = 0; i < IntNrList->topLevelItemCount(); ++i)
        IntNrList->topLevelItem(i)->setCheckState(ColNr, on ? Qt::Checked : Qt::Unchecked);
    refreshAllowed_ = allowed;
    RefreshIntNrList();
}

void TformUpdateIntNr::btnSelectAllClick() {
    setAllTicks(true);
}

void TformUpdateIntNr::btnSelectNoneClick() {
    setAllTicks(false);
}

void TformUpdateIntNr::IntNrListChange(QTreeWidgetItem*, int column) {
    if (column == ColNr)
        RefreshIntNrList();
}

intnr::RenameOptions TformUpdateIntNr::options() const {
    intnr::RenameOptions o;
    o.maskMode = rbRenameMask->isChecked();
    o.mask = comboRenameMask->currentText();
    o.beginning = spinValue(seBeginning);
    o.ending = spinValue(seEnding);
    o.search = leSearch->text();
    o.replace = leReplace->text();
    o.start = spinValue(seStart);
    o.step = spinValue(seStep);
    o.digits = comboDigits->currentText().toInt();
    o.skipNonSelected = cbSkipNonSelected->isChecked();
    return o;
}

QList<bool> TformUpdateIntNr::ticks() const {
    QList<bool> t;
    t.reserve(IntNrList->topLevelItemCount());
    for (int i = 0; i < IntNrList->topLevelItemCount(); ++i)
        t.append(IntNrList->topLevelItem(i)->checkState(ColNr) == Qt::Checked);
    return t;
}

QStringList TformUpdateIntNr::previewTexts() const {
    QStringList l;
    for (int i = 0; i < IntNrList->topLevelItemCount(); ++i)
        l.append(IntNrList->topLevelItem(i)->text(ColNew));
    return l;
}

void TformUpdateIntNr::paintRow(QTreeWidgetItem* item) {
    const bool ticked = item->checkState(ColNr) == Qt::Checked;
    for (int c = 0; c < ColumnCount; ++c) {
        if (!ticked)
            item->setForeground(c, kGrey);
        else if (c == ColNew)
            item->setForeground(c, kNewNumber);
        else
            item->setData(c, Qt::ForegroundRole, QVariant());
    }
}

void TformUpdateIntNr::RefreshIntNrList() {
    if (!refreshAllowed_)
        return;
    refreshAllowed_ = false;
    const QStringList preview = intnr::previewNumbers(intnr::oldNumbers(vehicles_), ticks(), options(), clock_());
    IntNrList->setUpdatesEnabled(false);
    for (int i = 0; i < IntNrList->topLevelItemCount() && i < preview.size(); ++i) {
        QTreeWidgetItem* item = IntNrList->topLevelItem(i);
        if (item->text(ColNew) != preview[i])
            item->setText(ColNew, preview[i]);
        paintRow(item);
    }
    IntNrList->setUpdatesEnabled(true);
    refreshAllowed_ = true;
}

void TformUpdateIntNr::RefreshTimerTimer() {
    const QString mask = comboRenameMask->currentText();
    if (refreshAllowed_ && rbRenameMask->isChecked() &&
        (mask.contains(QStringLiteral("[YMD]")) || mask.contains(QStringLiteral("[hms]"))))
        RefreshIntNrList();
}

void TformUpdateIntNr::btnOKClick() {
    RefreshIntNrList();
    const QStringList preview = previewTexts();
    const QList<bool> ticked = ticks();
    const intnr::Refusal refusal = intnr::checkApply(preview, ticked);
    if (refusal != intnr::Refusal::None) {
        Dialogs::warning(this, intnr::refusalMessage(refusal));
        (refusal == intnr::Refusal::FaultyMask ? static_cast<QWidget*>(comboRenameMask) : IntNrList)->setFocus();
        return;
    }
    intnr::applyNumbers(vehicles_, preview, ticked);
    QStringList entries;
    for (int i = 0; i < comboRenameMask->count(); ++i)
        entries.append(comboRenameMask->itemText(i));
    intnr::storeOptions(settings_, options(), entries);
    numbersChanged_ = true;
    RefreshTimer->stop();
    accept();
}

} // namespace tarmelo::gui
