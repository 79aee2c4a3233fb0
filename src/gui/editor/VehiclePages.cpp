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

// The required-field mark: bold orange. Palette and font, not a style sheet: a style sheet on each of the
// hundreds of marks made polishing the pages several times dearer.
void markRequired(QLabel* l) {
    QPalette pal = l->palette();
    pal.setColor(QPalette::WindowText, QColor(215, 86, 0));
    l->setPalette(pal);
    QFont f = l->font();
    f.setBold(true);
    l->setFont(f);
}

QString name(const char* prefix, int c, const char* field) {
    return QStringLiteral("%1_%2_%3").arg(QLatin1StringView(prefix)).arg(c).arg(QLatin1StringView(field));
}

QLabel* asterisk(const QString& objectName, QWidget* parent) {
    auto* l = new QLabel(QStringLiteral("*"), parent);
    l->setObjectName(objectName);
    markRequired(l);
    return l;
}

QGroupBox* group(const QString& title, QWidget* parent) {
    auto* g = new QGroupBox(title, parent);
    return g;
}

// Fields that share one cell with the field before them, and the example text after a field.
struct SharedCell {
    const char* field;
    std::initializer_list<const char*> partners;
    const char* example;
};
const SharedCell kSharedCells[] = {
    {"waehr", {"bn", "mwst"}, nullptr},
    {"leistung", {"kwps"}, nullptr},
    {"ez", {}, "(z. B.: 06-2007)"},
};
const SharedCell* sharedCell(const FieldSpec& f) {
    for (const SharedCell& s : kSharedCells)
        if (qstrcmp(s.field, f.name) == 0)
            return &s;
    return nullptr;
}
bool isPartner(const char* name) {
    for (const SharedCell& s : kSharedCells)
        for (const char* p : s.partners)
            if (qstrcmp(p, name) == 0)
                return true;
    return false;
}

} // namespace

VehiclePages::VehiclePages(QWidget* parent) : QStackedWidget(parent) {
    setObjectName(QStringLiteral("pcVehicle"));
    setFixedHeight(324);
    for (int c = 1; c <= model::kClassCount; ++c) {
        ClassPages& cp = classes_[size_t(c)];
        cp.general = new QWidget(this);
        cp.general->setObjectName(model::generalPageName(c));
        addWidget(cp.general);
        cp.equipment = new QWidget(this);
        cp.equipment->setObjectName(model::equipmentPageName(c));
        addWidget(cp.equipment);
    }
    empty_ = new QWidget(this);
    addWidget(empty_);
    showNone();
}

bool VehiclePages::isBuilt(int klasse) const {
    return klasse >= 1 && klasse <= model::kClassCount && classes_[size_t(klasse)].built;
}

void VehiclePages::ensureBuilt(int c) {
    if (c < 1 || c > model::kClassCount || classes_[size_t(c)].built)
        return;
    ClassPages& cp = classes_[size_t(c)];
    cp.built = true;
    // The pages are hidden while they are filled, so their new widgets appear with them and not one by one.
    buildGeneral(c, cp.general);
    buildEquipment(c, cp.equipment);
    keepFocusOrder(cp.general);
    keepFocusOrder(cp.equipment);
    setTabOrder(c);

    for (int i = 0; i < 4; ++i)
        cp.hintLabels[size_t(i)] = cp.general->findChild<QWidget*>(QStringLiteral("lbl_%1_hint_%2").arg(c).arg(i + 1));
    cp.inrWidgets = {cp.general->findChild<QWidget*>(model::controlName(u"inr", c)),
                     cp.general->findChild<QWidget*>(QStringLiteral("lbl_%1_hint_5").arg(c)),
                     cp.general->findChild<QWidget*>(name("cap", c, "inr"))};
    cp.hintGroup = cp.general->findChild<QGroupBox*>(QStringLiteral("GroupBox_%1_4").arg(c));
    applyAutomaticIntNr(c);
    if (c == 1) {
        const char* starred[] = {"innerorts", "ausserorts", "kombiniert", "co2", "kraftstoff"};
        // The fuel type sits on the general page, the consumption values on the equipment page.
        for (size_t i = 0; i < consumption_.stars.size(); ++i)
            consumption_.stars[i] = control(name("lbl", 1, starred[i]));
        consumption_.combinedCaption = qobject_cast<QLabel*>(control(QStringLiteral("cap_1_kombiniert")));
        consumption_.combinedEdit = control(QStringLiteral("le_1_kombiniert"));
        applyEnvkvNow();
    }
    emit classBuilt(c);
}

void VehiclePages::keepFocusOrder(QWidget* page) {
    // Widgets made now join the end of the window's focus chain; Tab must reach them where the page stands,
    // between the vehicle list and the controls after the pages, as if they had been made with the page.
    QList<QWidget*> moving;
    for (QWidget* w = page->nextInFocusChain(); w && w != page; w = w->nextInFocusChain()) {
        if (!page->isAncestorOf(w) || w->focusPolicy() == Qt::NoFocus)
            continue;
        bool inner = false; // a compound control takes its inner widgets along
        for (QWidget* p = w->parentWidget(); p && p != page && !inner; p = p->parentWidget())
            inner = moving.contains(p);
        if (!inner)
            moving.append(w);
    }
    // setTabOrder leaves widgets without focus alone, the page among them.
    const Qt::FocusPolicy policy = page->focusPolicy();
    page->setFocusPolicy(Qt::TabFocus);
    QWidget* previous = page;
    for (QWidget* w : std::as_const(moving)) {
        QWidget::setTabOrder(previous, w);
        previous = w;
    }
    page->setFocusPolicy(policy);
}

void VehiclePages::showNone() {
    setCurrentWidget(empty_);
}

void VehiclePages::showPage(int klasse, model::Page page) {
    ensureBuilt(klasse);
    setCurrentIndex(2 * klasse - (page == model::Page::General ? 2 : 1));
}

PhotoGroup* VehiclePages::photos(int klasse) {
    ensureBuilt(klasse);
    return classes_[size_t(klasse)].photos;
}

QTabWidget* VehiclePages::featureTabs(int klasse) {
    ensureBuilt(klasse);
    return classes_[size_t(klasse)].tabs;
}

QWidget* VehiclePages::control(const QString& n) {
    // The class is the second part of the name: only that class's pages are built and searched.
    bool ok = false;
    const int c = n.section(QLatin1Char('_'), 1, 1).toInt(&ok);
    if (!ok || c < 1 || c > model::kClassCount)
        return findChild<QWidget*>(n);
    ensureBuilt(c);
    const ClassPages& cp = classes_[size_t(c)];
    if (QWidget* w = cp.general->findChild<QWidget*>(n))
        return w;
    return cp.equipment->findChild<QWidget*>(n);
}

FieldControl* VehiclePages::addControl(const FieldSpec& f, int c, QWidget* parent) {
    FieldControl* control = makeFieldControl(f, c, parent, [this, &f] { emit itemChanged(f.storesAtOnce); });
    if (control) {
        classes_[size_t(c)].controls.append(control);
        if (c == 1 && qstrcmp(f.name, "envkv") == 0)
            connect(static_cast<QAbstractButton*>(control->widget()), &QAbstractButton::clicked, this,
                    [this] { emit envkvClicked(); });
    }
    return control;
}

void VehiclePages::addField(QGridLayout* grid, int row, int col, const FieldSpec& f, int c, QWidget* parent) {
    const int x = col * 3;
    if (f.control == Control::Check) {
        if (FieldControl* box = addControl(f, c, parent))
            grid->addWidget(box->widget(), row, x, 1, 3);
        return;
    }
    QString caption = model::label(f, c);
    if (f.control == Control::Radio)
        caption = QStringLiteral("Unfallschaden\n(nicht repariert):");
    auto* cap = new QLabel(caption, parent);
    cap->setObjectName(name("cap", c, f.name));
    grid->addWidget(cap, row, x);
    if (model::isRequired(f, c))
        grid->addWidget(asterisk(name("lbl", c, f.name), parent), row, x + 1);
    const SharedCell* shared = sharedCell(f);
    if (!shared) {
        if (FieldControl* control = addControl(f, c, parent)) {
            cap->setBuddy(control->focusWidgets().first());
            grid->addWidget(control->widget(), row, x + 2);
        }
        return;
    }
    // One line for the field and its partners, in the order of the field table.
    auto* cell = new QWidget(parent);
    auto* lay = new QHBoxLayout(cell);
    lay->setContentsMargins(0, 0, 0, 0);
    if (FieldControl* control = addControl(f, c, cell)) {
        cap->setBuddy(control->widget());
        lay->addWidget(control->widget(), 1);
    }
    for (const char* partnerName : shared->partners) {
        const FieldSpec* partner = model::field(QLatin1StringView(partnerName));
        if (partner && model::hasControl(*partner, c))
            if (FieldControl* control = addControl(*partner, c, cell))
                lay->addWidget(control->widget(), 1);
    }
    if (shared->example)
        lay->addWidget(new QLabel(QString::fromUtf8(shared->example), cell));
    grid->addWidget(cell, row, x + 2);
}

void VehiclePages::addFieldList(QGridLayout* grid, std::span<const char* const> names, int columns, int c,
                                QWidget* parent) {
    // Check boxes in columns of their own, the other fields as caption and control; the controls are made in
    // the order of the list, which is their tab order.
    int checkCount = 0, otherCount = 0;
    for (const char* n : names) {
        const FieldSpec* f = model::field(QLatin1StringView(n));
        if (f && !isPartner(n))
            ++(f->control == Control::Check ? checkCount : otherCount);
    }
    // The general data list their check boxes after the fields, the equipment pages before them.
    const bool checksFirst = columns >= 3;
    const int checkRows = std::max((checkCount + columns - 1) / columns, 1);
    const int otherCols = columns >= 3 ? 2 : columns;
    const int otherRows = std::max((otherCount + otherCols - 1) / otherCols, 1);
    const int checkTop = checksFirst ? 0 : (otherCount ? otherRows : 0);
    const int otherTop = checksFirst ? (checkCount ? checkRows : 0) : 0;
    int checks = 0, others = 0;
    for (const char* n : names) {
        const FieldSpec* f = model::field(QLatin1StringView(n));
        if (!f || isPartner(n))
            continue;
        if (f->control == Control::Check) {
            addField(grid, checkTop + checks % checkRows, checks / checkRows, *f, c, parent);
            ++checks;
        } else {
            addField(grid, otherTop + others % otherRows, others / otherRows, *f, c, parent);
            ++others;
        }
    }
    for (int col = 0; col < columns; ++col)
        grid->setColumnStretch(col * 3 + 2, 1);
    grid->setRowStretch((checkCount ? checkRows : 0) + (otherCount ? otherRows : 0), 1);
}

void VehiclePages::buildGeneral(int c, QWidget* page) {
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
        if (!isPartner(n))
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
            markRequired(l);
        if (i < 3)
            hintRow->addWidget(l);
        else
            hg->addWidget(l, 1, 0, 1, 3);
    }
    hintRow->addStretch();
    hg->addLayout(hintRow, 0, 0, 1, 3);
    const FieldSpec& inr = *model::field(u"inr");
    QWidget* inrEdit = addControl(inr, c, hint)->widget();
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
}

void VehiclePages::buildEquipment(int c, QWidget* page) {
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
    FieldControl* memoControl = makeFieldControl(*model::field(u"memo"), c, notes, [this, c] {
        updateCounter(c);
        emit memoChanged();
    });
    classes_[size_t(c)].controls.append(memoControl);
    auto* memo = static_cast<MemoEdit*>(memoControl->widget());
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
}

void VehiclePages::updateCounter(int c) {
    const ClassPages& cp = classes_[size_t(c)];
    cp.counter->setText(QString::number(MemoEdit::kLimit - cp.memo->storedLength()));
}

void VehiclePages::fill(const model::TFahrzeug& v) {
    const int c = v.klasse;
    if (c < 1 || c > model::kClassCount)
        return;
    ensureBuilt(c);
    for (FieldControl* control : classes_[size_t(c)].controls)
        control->show(v);
    if (c == 1)
        applyEnvkv(v.envkv != 0);
}

void VehiclePages::store(model::TFahrzeug& v) const {
    const int c = v.klasse;
    if (c < 1 || c > model::kClassCount)
        return;
    for (const FieldControl* control : classes_[size_t(c)].controls)
        control->storeEdited(v);
}

void VehiclePages::setTabOrder(int c) {
    // The tab order is the order of the field table within each group, the groups from left to right.
    QWidget* previous = nullptr;
    for (FieldControl* control : classes_[size_t(c)].controls) {
        for (QWidget* w : control->focusWidgets()) {
            if (previous && previous->window() == w->window())
                QWidget::setTabOrder(previous, w);
            previous = w;
        }
    }
}

void VehiclePages::setAutomaticIntNr(bool on) {
    automaticIntNr_ = on;
    for (int c = 1; c <= model::kClassCount; ++c)
        if (classes_[size_t(c)].built)
            applyAutomaticIntNr(c);
}

void VehiclePages::applyAutomaticIntNr(int c) {
    const ClassPages& cp = classes_[size_t(c)];
    const bool on = automaticIntNr_;
    for (QWidget* l : cp.hintLabels)
        if (l)
            l->setVisible(on);
    for (QWidget* w : cp.inrWidgets)
        if (w)
            w->setVisible(!on);
    if (cp.hintGroup)
        cp.hintGroup->setTitle(on ? QStringLiteral(" Hinweis ") : QStringLiteral(" Interne Nummer "));
}

void VehiclePages::applyEnvkv(bool on) {
    envkv_ = on;
    if (classes_[1].built)
        applyEnvkvNow();
}

void VehiclePages::applyEnvkvNow() {
    const bool on = envkv_;
    for (QWidget* star : consumption_.stars)
        if (star)
            star->setVisible(on);
    if (QLabel* cap = consumption_.combinedCaption)
        cap->setText(on ? QStringLiteral("Kombiniert:") : QStringLiteral("Verbr. ca.:"));
    if (QWidget* e = consumption_.combinedEdit) {
        const QString hint = on ? QStringLiteral("Kraftstoffverbrauch kombiniert in l/100 km bzw. m³/100 km (Erdgas)")
                                : QStringLiteral("Kraftstoffverbrauch ca. in l/100 km bzw. m³/100 km (Erdgas)");
        e->setToolTip(hint);
        e->setStatusTip(hint);
    }
}

} // namespace tarmelo::gui
