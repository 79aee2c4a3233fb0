#include "VehiclePages.h"

#include "FieldWidgets.h"
#include "PhotoGroup.h"
#include "model/Cp1252.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace tarmelo::gui {

using model::Control;
using model::FieldKind;
using model::FieldSpec;

namespace {

const QString kOrange = QStringLiteral("color: rgb(215, 86, 0);");

QString name(const char* prefix, int c, const char* field) {
    return QStringLiteral("%1_%2_%3").arg(QLatin1StringView(prefix)).arg(c).arg(QLatin1StringView(field));
}

QLabel* asterisk(const QString& objectName, QWidget* parent) {
    auto* l = new QLabel(QStringLiteral("*"), parent);
    l->setObjectName(objectName);
    l->setStyleSheet(kOrange + QStringLiteral("font-weight: bold;"));
    return l;
}

bool required(const FieldSpec& f, int c) {
    const QLatin1StringView n(f.name);
    return n == "marke" || n == "modell" || n == "kategorie" || n == "preis" || n == "unf" ||
           (c == 1 && (n == "kraftstoff" || n == "innerorts" || n == "ausserorts" || n == "kombiniert" || n == "co2"));
}

// Line breaks of the record are CR LF; the text control works with LF.
QString memoToUi(const QByteArray& memo) {
    return model::fromCp1252(memo).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}
QByteArray memoFromUi(const QString& text) {
    QString t = text;
    t.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return model::toCp1252(t).value_or(QByteArray());
}

QGroupBox* group(const QString& title, QWidget* parent) {
    auto* g = new QGroupBox(title, parent);
    return g;
}

} // namespace

VehiclePages::VehiclePages(QWidget* parent) : QStackedWidget(parent) {
    setObjectName(QStringLiteral("pcVehicle"));
    setFixedHeight(324);
    for (int c = 1; c <= model::kClassCount; ++c) {
        addWidget(buildGeneral(c));
        addWidget(buildEquipment(c));
    }
    empty_ = new QWidget(this);
    addWidget(empty_);
    showNone();
    setAutomaticIntNr(true);
    applyEnvkv(false);
}

void VehiclePages::showNone() {
    setCurrentWidget(empty_);
}

void VehiclePages::showPage(int klasse, model::Page page) {
    setCurrentIndex(2 * klasse - (page == model::Page::General ? 2 : 1));
}

QWidget* VehiclePages::control(const QString& n) const {
    return findChild<QWidget*>(n);
}

QWidget* VehiclePages::makeControl(const FieldSpec& f, int c, QWidget* parent, QAbstractButton** no) {
    const QString objectName = model::controlName(f, c);
    QWidget* w = nullptr;
    switch (f.control) {
    case Control::Combo: {
        auto* box = new QComboBox(parent);
        box->addItems(model::listDisplayItems(f.list, c));
        if (f.list == model::ListId::Farbe) {
            box->setEditable(true);
            box->setInsertPolicy(QComboBox::NoInsert);
            box->lineEdit()->setMaxLength(f.width);
            box->lineEdit()->setValidator(new KeyFilterValidator(model::Filter::None, box));
            connect(box, &QComboBox::editTextChanged, this, [this, &f] { emit itemChanged(f.storesAtOnce); });
        } else {
            box->setMaxVisibleItems(20);
        }
        connect(box, &QComboBox::currentIndexChanged, this, [this, &f] { emit itemChanged(f.storesAtOnce); });
        w = box;
        break;
    }
    case Control::Edit: {
        auto* e = new QLineEdit(parent);
        e->setMaxLength(f.width);
        e->setValidator(new KeyFilterValidator(f.filter, e));
        connect(e, &QLineEdit::textChanged, this, [this, &f] { emit itemChanged(f.storesAtOnce); });
        w = e;
        break;
    }
    case Control::Mask: {
        QString mask = QString::fromLatin1(f.mask).replace(QStringLiteral(";1;_"), QStringLiteral(";_"));
        // Every digit position may stay empty; the date's separators are the German dots.
        mask.replace(QLatin1Char('9'), QLatin1Char('0')).replace(QLatin1Char('/'), QLatin1Char('.'));
        auto* e = new MaskEdit(mask, parent);
        connect(e, &QLineEdit::textChanged, this, [this, &f] { emit itemChanged(f.storesAtOnce); });
        w = e;
        break;
    }
    case Control::Amount: {
        const bool whole = qstrcmp(f.name, "overpass") == 0;
        auto* e = new AmountEdit(whole ? 0 : 2, whole ? 9999 : 500000000, parent);
        connect(e, &QDoubleSpinBox::valueChanged, this, [this, &f] { emit itemChanged(f.storesAtOnce); });
        w = e;
        break;
    }
    case Control::Check: {
        auto* b = new QCheckBox(model::label(f, c), parent);
        connect(b, &QCheckBox::toggled, this, [this, &f] { emit itemChanged(f.storesAtOnce); });
        if (c == 1 && qstrcmp(f.name, "envkv") == 0)
            connect(b, &QCheckBox::clicked, this, [this] { emit envkvClicked(); });
        w = b;
        break;
    }
    case Control::Radio: {
        auto* box = new QWidget(parent);
        auto* lay = new QHBoxLayout(box);
        lay->setContentsMargins(0, 0, 0, 0);
        auto* yes = new QRadioButton(QStringLiteral("Ja"), box);
        auto* noButton = new QRadioButton(QStringLiteral("Nein"), box);
        noButton->setObjectName(name("rb", c, "nounf"));
        auto* buttons = new QButtonGroup(box);
        buttons->addButton(yes);
        buttons->addButton(noButton);
        lay->addWidget(yes);
        lay->addWidget(noButton);
        lay->addStretch();
        connect(yes, &QRadioButton::toggled, this, [this, &f] { emit itemChanged(f.storesAtOnce); });
        yes->setObjectName(objectName);
        *no = noButton;
        return yes;
    }
    default:
        break;
    }
    if (w) {
        w->setObjectName(objectName);
        if (f.hint) {
            w->setToolTip(QString::fromUtf8(f.hint));
            w->setStatusTip(QString::fromUtf8(f.hint));
        }
    }
    return w;
}

void VehiclePages::addField(QGridLayout* grid, int row, int col, const FieldSpec& f, int c, QWidget* parent) {
    ClassPages& cp = classes_[size_t(c)];
    QAbstractButton* no = nullptr;
    QWidget* w = makeControl(f, c, parent, &no);
    if (!w)
        return;
    cp.bindings.append({&f, w, no});
    const int x = col * 3;
    if (f.control == Control::Check) {
        grid->addWidget(w, row, x, 1, 3);
        return;
    }
    QString caption = model::label(f, c);
    if (f.control == Control::Radio)
        caption = QStringLiteral("Unfallschaden\n(nicht repariert):");
    auto* cap = new QLabel(caption, parent);
    cap->setObjectName(name("cap", c, f.name));
    cap->setBuddy(w);
    grid->addWidget(cap, row, x);
    if (required(f, c))
        grid->addWidget(asterisk(name("lbl", c, f.name), parent), row, x + 1);
    QWidget* cell = w;
    if (f.control == Control::Radio) {
        cell = w->parentWidget();
    } else if (qstrcmp(f.name, "waehr") == 0) {
        // Currency, gross or net and the VAT rate read as one line.
        cell = new QWidget(parent);
        auto* lay = new QHBoxLayout(cell);
        lay->setContentsMargins(0, 0, 0, 0);
        w->setParent(cell);
        lay->addWidget(w);
        for (const char16_t* n : {u"bn", u"mwst"}) {
            const FieldSpec* part = model::field(QStringView(n));
            QAbstractButton* unused = nullptr;
            QWidget* box = makeControl(*part, c, cell, &unused);
            cp.bindings.append({part, box, nullptr});
            lay->addWidget(box, 1);
        }
    } else if (qstrcmp(f.name, "leistung") == 0 || qstrcmp(f.name, "ez") == 0) {
        // Power and its unit, the first registration and its example share one cell.
        cell = new QWidget(parent);
        auto* lay = new QHBoxLayout(cell);
        lay->setContentsMargins(0, 0, 0, 0);
        w->setParent(cell);
        lay->addWidget(w, 1);
        if (qstrcmp(f.name, "ez") == 0)
            lay->addWidget(new QLabel(QStringLiteral("(z. B.: 06-2007)"), cell));
        else if (const FieldSpec* kwps = model::field(u"kwps"); model::hasControl(*kwps, c)) {
            QAbstractButton* unused = nullptr;
            QWidget* unit = makeControl(*kwps, c, cell, &unused);
            cp.bindings.append({kwps, unit, nullptr});
            lay->addWidget(unit);
        }
    }
    grid->addWidget(cell, row, x + 2);
}

void VehiclePages::addFieldList(QGridLayout* grid, std::span<const char* const> names, int columns, int c,
                                QWidget* parent) {
    // Check boxes first in columns, the other fields below them as caption and control.
    QList<const FieldSpec*> checks, others;
    for (const char* n : names) {
        const FieldSpec* f = model::field(QLatin1StringView(n));
        if (!f || qstrcmp(n, "kwps") == 0)
            continue;
        (f->control == Control::Check ? checks : others).append(f);
    }
    // The general data list their check boxes after the fields, the equipment pages before them.
    const bool checksFirst = columns >= 3;
    const int checkRows = (int(checks.size()) + columns - 1) / columns;
    const int otherCols = columns >= 3 ? 2 : columns;
    const int otherRows = (int(others.size()) + otherCols - 1) / otherCols;
    const int checkTop = checksFirst ? 0 : otherRows;
    const int otherTop = checksFirst ? checkRows : 0;
    for (int i = 0; i < checks.size(); ++i)
        addField(grid, checkTop + i % std::max(checkRows, 1), i / std::max(checkRows, 1), *checks[i], c, parent);
    for (int i = 0; i < others.size(); ++i)
        addField(grid, otherTop + i % std::max(otherRows, 1), i / std::max(otherRows, 1), *others[i], c, parent);
    const int row = checkRows + otherRows;
    for (int col = 0; col < columns; ++col)
        grid->setColumnStretch(col * 3 + 2, 1);
    grid->setRowStretch(row, 1);
}

QWidget* VehiclePages::buildGeneral(int c) {
    auto* page = new QWidget(this);
    page->setObjectName(model::generalPageName(c));
    auto* lay = new QHBoxLayout(page);
    lay->setContentsMargins(4, 4, 4, 4);

    const model::ClassLayout& layout = model::classLayout(c);
    auto* vehicle = group(QStringLiteral(" Angaben zum Fahrzeug "), page);
    auto* vg = new QGridLayout(vehicle);
    vg->setVerticalSpacing(3);
    addFieldList(vg, layout.vehicle, 2, c, vehicle);
    lay->addWidget(vehicle, 3);

    auto* middle = new QVBoxLayout;
    auto* price = group(QStringLiteral(" Preis "), page);
    auto* pg = new QGridLayout(price);
    pg->setVerticalSpacing(3);
    int row = 0;
    for (const char* n : model::priceGroup())
        if (qstrcmp(n, "bn") != 0 && qstrcmp(n, "mwst") != 0)
            addField(pg, row++, 0, *model::field(QLatin1StringView(n)), c, price);
    pg->setColumnStretch(2, 1);
    middle->addWidget(price);

    auto* hint = group(QString(), page);
    hint->setObjectName(QStringLiteral("GroupBox_%1_4").arg(c));
    auto* hg = new QGridLayout(hint);
    const char* hints[] = {"Alle mit", "*", "gekennzeichneten Felder", "müssen ausgefüllt werden."};
    auto* hintRow = new QHBoxLayout;
    for (int i = 0; i < 4; ++i) {
        auto* l = new QLabel(QString::fromUtf8(hints[i]), hint);
        l->setObjectName(QStringLiteral("lbl_%1_hint_%2").arg(c).arg(i + 1));
        if (i == 1)
            l->setStyleSheet(kOrange + QStringLiteral("font-weight: bold;"));
        if (i < 3)
            hintRow->addWidget(l);
        else
            hg->addWidget(l, 1, 0, 1, 3);
    }
    hintRow->addStretch();
    hg->addLayout(hintRow, 0, 0, 1, 3);
    const FieldSpec& inr = *model::field(u"inr");
    QAbstractButton* unused = nullptr;
    QWidget* inrEdit = makeControl(inr, c, hint, &unused);
    classes_[size_t(c)].bindings.append({&inr, inrEdit, nullptr});
    auto* inrCap = new QLabel(model::label(inr, c), hint);
    inrCap->setObjectName(name("cap", c, "inr"));
    hg->addWidget(inrCap, 2, 0);
    hg->addWidget(asterisk(QStringLiteral("lbl_%1_hint_5").arg(c), hint), 2, 1);
    hg->addWidget(inrEdit, 2, 2);
    middle->addWidget(hint);
    middle->addStretch();
    price->setMaximumWidth(300);
    hint->setMaximumWidth(300);
    lay->addLayout(middle, 0);

    auto* photos = new PhotoGroup(c, page);
    classes_[size_t(c)].photos = photos;
    lay->addWidget(photos, 0, Qt::AlignTop);
    return page;
}

QWidget* VehiclePages::buildEquipment(int c) {
    auto* page = new QWidget(this);
    page->setObjectName(model::equipmentPageName(c));
    auto* lay = new QHBoxLayout(page);
    lay->setContentsMargins(4, 4, 4, 4);
    const model::ClassLayout& layout = model::classLayout(c);

    auto* features = group(QStringLiteral(" Besonderheiten "), page);
    auto* fl = new QVBoxLayout(features);
    if (layout.hasTabs()) {
        auto* tabs = new QTabWidget(features);
        tabs->setObjectName(QStringLiteral("pc_%1_features").arg(c));
        for (auto [fieldsOfTab, title] : {std::pair{layout.seite1, "Seite 1"}, std::pair{layout.seite2, "Seite 2"}}) {
            auto* sub = new QWidget(tabs);
            auto* grid = new QGridLayout(sub);
            grid->setVerticalSpacing(2);
            addFieldList(grid, fieldsOfTab, 3, c, sub);
            tabs->addTab(sub, QString::fromLatin1(title));
        }
        classes_[size_t(c)].tabs = tabs;
        fl->addWidget(tabs);
    } else {
        auto* grid = new QGridLayout;
        grid->setVerticalSpacing(2);
        addFieldList(grid, layout.seite1, 3, c, features);
        fl->addLayout(grid);
    }
    lay->addWidget(features, 3);

    auto* middle = new QVBoxLayout;
    auto* notes = group(QStringLiteral(" Ausstattung und Bemerkungen "), page);
    auto* nl = new QVBoxLayout(notes);
    auto* memo = new MemoEdit(notes);
    memo->setObjectName(QStringLiteral("Memo%1").arg(c));
    nl->addWidget(memo);
    auto* countRow = new QHBoxLayout;
    auto* counter = new QLabel(QStringLiteral("2000"), notes);
    counter->setObjectName(QStringLiteral("lbl_%1_zeichen").arg(c));
    countRow->addWidget(new QLabel(QStringLiteral("Ihnen stehen noch"), notes));
    countRow->addWidget(counter);
    countRow->addWidget(new QLabel(QStringLiteral("Zeichen zur Verfügung."), notes));
    countRow->addStretch();
    nl->addLayout(countRow);
    classes_[size_t(c)].memo = memo;
    classes_[size_t(c)].counter = counter;
    classes_[size_t(c)].bindings.append({model::field(u"memo"), memo, nullptr});
    connect(memo, &QPlainTextEdit::textChanged, this, [this, c] {
        updateCounter(c);
        emit memoChanged();
    });
    middle->addWidget(notes, 1);
    auto* note = new QHBoxLayout;
    note->addWidget(new QLabel(QStringLiteral("Hinweis:"), page));
    note->addWidget(asterisk(QString(), page));
    note->addWidget(new QLabel(QStringLiteral("bezeichnet Pflichtfeld"), page));
    note->addStretch();
    middle->addLayout(note);
    lay->addLayout(middle, 2);

    auto* right = new QVBoxLayout;
    auto* options = group(QStringLiteral(" Sonstiges "), page);
    auto* og = new QGridLayout(options);
    og->setVerticalSpacing(2);
    int row = 0;
    for (const char* n : model::optionsGroup())
        addField(og, row++, 0, *model::field(QLatin1StringView(n)), c, options);
    right->addWidget(options);
    if (c == 1) {
        auto* consumption = group(QStringLiteral(" Kraftstoffverbrauch "), page);
        auto* cg = new QGridLayout(consumption);
        cg->setVerticalSpacing(2);
        row = 0;
        for (const char* n : model::consumptionGroup())
            addField(cg, row++, 0, *model::field(QLatin1StringView(n)), c, consumption);
        right->addWidget(consumption);
    }
    right->addStretch();
    lay->addLayout(right, 1);
    return page;
}

void VehiclePages::updateCounter(int c) {
    const ClassPages& cp = classes_[size_t(c)];
    cp.counter->setText(QString::number(MemoEdit::kLimit - cp.memo->storedLength()));
}

void VehiclePages::fill(const model::TFahrzeug& v) {
    const int c = v.klasse;
    if (c < 1 || c > model::kClassCount)
        return;
    for (const Binding& b : classes_[size_t(c)].bindings) {
        const FieldSpec& f = *b.field;
        switch (f.control) {
        case Control::Combo: {
            auto* box = static_cast<QComboBox*>(b.widget);
            if (f.list == model::ListId::Farbe)
                box->setEditText(model::fromCp1252(model::colourShowText(v.*f.text)));
            else
                box->setCurrentIndex(model::showIndex(f, v));
            break;
        }
        case Control::Edit: {
            // The key filter is for typing; a stored value (one read from a file) is shown as it is.
            auto* e = static_cast<QLineEdit*>(b.widget);
            const QValidator* filter = e->validator();
            e->setValidator(nullptr);
            e->setText(model::fromCp1252(v.*f.text));
            e->setValidator(filter);
            break;
        }
        case Control::Mask:
            static_cast<MaskEdit*>(b.widget)->setStoredText(v.*f.text);
            break;
        case Control::Amount:
            static_cast<QDoubleSpinBox*>(b.widget)->setValue(v.*f.amount);
            break;
        case Control::Check:
            static_cast<QCheckBox*>(b.widget)->setChecked(v.*f.byte != 0);
            break;
        case Control::Radio:
            (v.*f.byte ? static_cast<QAbstractButton*>(b.widget) : b.no)->setChecked(true);
            break;
        case Control::Memo:
            static_cast<MemoEdit*>(b.widget)->setPlainText(memoToUi(v.memo));
            break;
        default:
            break;
        }
    }
    if (c == 1)
        applyEnvkv(v.envkv != 0);
}

void VehiclePages::store(model::TFahrzeug& v) const {
    const int c = v.klasse;
    if (c < 1 || c > model::kClassCount)
        return;
    for (const Binding& b : classes_[size_t(c)].bindings) {
        const FieldSpec& f = *b.field;
        const bool trim = model::inSet(f.trimIn, c);
        auto text = [&](const QString& s) {
            const QByteArray bytes = model::toCp1252(s).value_or(QByteArray());
            return model::cut(trim ? bytes.trimmed() : bytes, f.width);
        };
        switch (f.control) {
        case Control::Combo: {
            auto* box = static_cast<QComboBox*>(b.widget);
            if (f.list == model::ListId::Farbe)
                v.*f.text = model::colourStoreText(model::toCp1252(box->currentText()).value_or(QByteArray()));
            else
                model::storeIndex(f, v, box->currentIndex());
            break;
        }
        case Control::Edit:
            v.*f.text = text(static_cast<QLineEdit*>(b.widget)->text());
            break;
        case Control::Mask: {
            const QByteArray s = static_cast<MaskEdit*>(b.widget)->storedText();
            v.*f.text = model::cut(trim ? s.trimmed() : s, f.width);
            break;
        }
        case Control::Amount:
            v.*f.amount = static_cast<QDoubleSpinBox*>(b.widget)->value();
            break;
        case Control::Check:
            v.*f.byte = static_cast<QCheckBox*>(b.widget)->isChecked() ? 1 : 0;
            break;
        case Control::Radio:
            v.*f.byte = static_cast<QAbstractButton*>(b.widget)->isChecked() ? 1 : 0;
            break;
        case Control::Memo: {
            const QByteArray m = memoFromUi(static_cast<MemoEdit*>(b.widget)->toPlainText());
            v.memo = model::cut(m.trimmed(), f.width);
            break;
        }
        default:
            break;
        }
    }
}

void VehiclePages::setAutomaticIntNr(bool on) {
    for (int c = 1; c <= model::kClassCount; ++c) {
        for (int i = 1; i <= 4; ++i)
            if (QWidget* l = control(QStringLiteral("lbl_%1_hint_%2").arg(c).arg(i)))
                l->setVisible(on);
        for (const QString& n : {model::controlName(u"inr", c), QStringLiteral("lbl_%1_hint_5").arg(c),
                                 QStringLiteral("cap_%1_inr").arg(c)})
            if (QWidget* w = control(n))
                w->setVisible(!on);
        if (auto* g = findChild<QGroupBox*>(QStringLiteral("GroupBox_%1_4").arg(c)))
            g->setTitle(on ? QStringLiteral(" Hinweis ") : QStringLiteral(" Interne Nummer "));
    }
}

void VehiclePages::applyEnvkv(bool on) {
    for (const char* n : {"innerorts", "ausserorts", "kombiniert", "co2", "kraftstoff"})
        if (QWidget* star = control(name("lbl", 1, n)))
            star->setVisible(on);
    if (auto* cap = findChild<QLabel*>(QStringLiteral("cap_1_kombiniert")))
        cap->setText(on ? QStringLiteral("Kombiniert:") : QStringLiteral("Verbr. ca.:"));
    if (QWidget* e = control(QStringLiteral("le_1_kombiniert"))) {
        const QString hint = on ? QStringLiteral("Kraftstoffverbrauch kombiniert in l/100 km bzw. m³/100 km (Erdgas)")
                                : QStringLiteral("Kraftstoffverbrauch ca. in l/100 km bzw. m³/100 km (Erdgas)");
        e->setToolTip(hint);
        e->setStatusTip(hint);
    }
}

} // namespace tarmelo::gui
