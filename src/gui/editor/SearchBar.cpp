#include "editor/SearchBar.h"

#include "model/Fahrzeug.h"
#include "model/VehicleClass.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QSignalBlocker>

namespace tarmelo::gui {

SearchBar::SearchBar(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("plSearch"));
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(2, 2, 2, 2);
    text_ = new QLineEdit(this);
    text_->setObjectName(QStringLiteral("edtSearch"));
    text_->setPlaceholderText(QStringLiteral("Suchen (Strg+F): Marke, Modell, interne Nummer, FIN, Preis, Jahr ..."));
    text_->setClearButtonEnabled(true);
    auto* clear = new QAction(text_);
    clear->setShortcut(Qt::Key_Escape);
    clear->setShortcutContext(Qt::WidgetShortcut);
    text_->addAction(clear);
    connect(clear, &QAction::triggered, text_, &QLineEdit::clear);
    klasse_ = new QComboBox(this);
    klasse_->setObjectName(QStringLiteral("cmbSearchClass"));
    klasse_->addItem(QStringLiteral("alle"));
    for (int c = 1; c <= model::kClassCount; ++c)
        klasse_->addItem(model::className(c));
    faulty_ = new QCheckBox(QStringLiteral("nur fehlerhafte"), this);
    faulty_->setObjectName(QStringLiteral("chkSearchFaulty"));
    sold_ = new QCheckBox(QStringLiteral("Verkaufte Fahrzeuge"), this);
    sold_->setObjectName(QStringLiteral("chkSoldView"));
    sold_->setToolTip(QStringLiteral("Zeigt die verkauften Fahrzeuge statt des Bestands"));
    row->addWidget(text_, 1);
    row->addWidget(klasse_);
    row->addWidget(faulty_);
    row->addSpacing(12);
    row->addWidget(sold_);
    connect(text_, &QLineEdit::textChanged, this, &SearchBar::queryChanged);
    connect(klasse_, &QComboBox::currentIndexChanged, this, &SearchBar::queryChanged);
    connect(faulty_, &QCheckBox::toggled, this, &SearchBar::queryChanged);
    connect(sold_, &QCheckBox::toggled, this, &SearchBar::queryChanged);
}

inventory::StockQuery SearchBar::query() const {
    inventory::StockQuery q;
    q.text = text_->text();
    q.klasse = klasse_->currentIndex();
    q.onlyFaulty = faulty_->isChecked();
    q.sold = sold_->isChecked();
    return q;
}

bool SearchBar::soldView() const {
    return sold_->isChecked();
}

void SearchBar::setSoldView(bool on) {
    sold_->setChecked(on);
}

bool SearchBar::isActive() const {
    return !text_->text().trimmed().isEmpty() || klasse_->currentIndex() > 0 || faulty_->isChecked();
}

void SearchBar::focusSearch() {
    text_->setFocus(Qt::ShortcutFocusReason);
    text_->selectAll();
}

void SearchBar::reset() {
    if (!isActive() && text_->text().isEmpty() && !soldView())
        return;
    {
        const QSignalBlocker a(text_), b(klasse_), c(faulty_), d(sold_);
        text_->clear();
        klasse_->setCurrentIndex(0);
        faulty_->setChecked(false);
        sold_->setChecked(false);
    }
    emit queryChanged();
}

} // namespace tarmelo::gui
