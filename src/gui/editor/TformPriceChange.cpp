#include "editor/TformPriceChange.h"

#include "csv/StockCheck.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace tarmelo::gui {

namespace {

const QLocale kGerman(QLocale::German, QLocale::Germany);

// The choices of the drop-downs with what they mean, in their order.
const struct {
    const char* text;
    model::PriceRounding rounding;
} kRoundings[] = {
    {"auf Cent", model::PriceRounding::Cent},
    {"auf ganze Euro", model::PriceRounding::Euro},
    {"auf 10 Euro", model::PriceRounding::Ten},
    {"auf 100 Euro", model::PriceRounding::Hundred},
    {"Schwellenpreis (endet auf 90 bzw. 990)", model::PriceRounding::Threshold},
};
const struct {
    const char* text;
    model::PriceBasis basis;
} kBases[] = {
    {"wie gespeichert", model::PriceBasis::AsStored},
    {"brutto", model::PriceBasis::Gross},
    {"netto", model::PriceBasis::Net},
};

QString amount(double value) {
    return kGerman.toString(value, 'f', 2);
}

QDoubleSpinBox* amountBox(QWidget* parent, const char* name) {
    auto* box = new QDoubleSpinBox(parent);
    box->setObjectName(QLatin1StringView(name));
    box->setLocale(kGerman);
    box->setDecimals(2);
    box->setRange(0, 9999999.99);
    return box;
}

} // namespace

TformPriceChange::TformPriceChange(const model::Inventory& vehicles, const QList<int>& rows, QWidget* parent)
    : QDialog(parent), vehicles_(vehicles), rows_(rows) {
    setObjectName(QStringLiteral("formPriceChange"));
    setWindowTitle(QStringLiteral("Preise ändern"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(
        QStringLiteral("Die Änderung gilt für die %1 Fahrzeuge, die die Liste zeigt.").arg(rows_.size()), this));
    auto* form = new QFormLayout;
    auto* how = new QHBoxLayout;
    direction_ = new QComboBox(this);
    direction_->setObjectName(QStringLiteral("cmbDirection"));
    direction_->addItems({QStringLiteral("erhöhen"), QStringLiteral("senken")});
    value_ = amountBox(this, "spnValue");
    step_ = new QComboBox(this);
    step_->setObjectName(QStringLiteral("cmbStep"));
    step_->addItems({QStringLiteral("Prozent"), QStringLiteral("Euro")});
    how->addWidget(direction_);
    how->addWidget(new QLabel(QStringLiteral("um"), this));
    how->addWidget(value_);
    how->addWidget(step_);
    how->addStretch();
    form->addRow(QStringLiteral("Preise:"), how);
    auto* which = new QHBoxLayout;
    price_ = new QCheckBox(QStringLiteral("Preis"), this);
    price_->setObjectName(QStringLiteral("chkPrice"));
    price_->setChecked(true);
    dealer_ = new QCheckBox(QStringLiteral("Händlerpreis"), this);
    dealer_->setObjectName(QStringLiteral("chkDealerPrice"));
    which->addWidget(price_);
    which->addWidget(dealer_);
    which->addStretch();
    form->addRow(QStringLiteral("Ändern:"), which);
    rounding_ = new QComboBox(this);
    rounding_->setObjectName(QStringLiteral("cmbRounding"));
    for (const auto& r : kRoundings)
        rounding_->addItem(QString::fromUtf8(r.text));
    form->addRow(QStringLiteral("Runden:"), rounding_);
    basis_ = new QComboBox(this);
    basis_->setObjectName(QStringLiteral("cmbBasis"));
    for (const auto& b : kBases)
        basis_->addItem(QString::fromUtf8(b.text));
    form->addRow(QStringLiteral("Betrag:"), basis_);
    auto* lowest = new QHBoxLayout;
    useFloor_ = new QCheckBox(QStringLiteral("nicht unter"), this);
    useFloor_->setObjectName(QStringLiteral("chkFloor"));
    floor_ = amountBox(this, "spnFloor");
    floor_->setEnabled(false);
    lowest->addWidget(useFloor_);
    lowest->addWidget(floor_);
    lowest->addWidget(new QLabel(QStringLiteral("Euro"), this));
    lowest->addStretch();
    form->addRow(QStringLiteral("Untergrenze:"), lowest);
    layout->addLayout(form);

    list_ = new QTreeWidget(this);
    list_->setObjectName(QStringLiteral("lvPreview"));
    list_->setRootIsDecorated(false);
    list_->setUniformRowHeights(true);
    list_->setHeaderLabels({QStringLiteral("Nr."), QStringLiteral("Fahrzeug"), QStringLiteral("Preis alt"),
                            QStringLiteral("Preis neu"), QStringLiteral("Händlerpreis alt"),
                            QStringLiteral("Händlerpreis neu"), QStringLiteral("Hinweis")});
    list_->header()->setStretchLastSection(true);
    layout->addWidget(list_, 1);
    refusal_ = new QLabel(this);
    refusal_->setObjectName(QStringLiteral("lblRefusal"));
    refusal_->setStyleSheet(QStringLiteral("color: #b00000"));
    refusal_->setWordWrap(true);
    layout->addWidget(refusal_);

    auto* buttons = new QDialogButtonBox(this);
    ok_ = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    ok_->setObjectName(QStringLiteral("btnOK"));
    QPushButton* cancel = buttons->addButton(QStringLiteral("Abbrechen"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("btnCancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);

    for (QComboBox* box : {direction_, step_, rounding_, basis_})
        connect(box, &QComboBox::currentIndexChanged, this, &TformPriceChange::updatePreview);
    for (QDoubleSpinBox* box : {value_, floor_})
        connect(box, &QDoubleSpinBox::valueChanged, this, &TformPriceChange::updatePreview);
    for (QCheckBox* box : {price_, dealer_})
        connect(box, &QCheckBox::toggled, this, &TformPriceChange::updatePreview);
    connect(useFloor_, &QCheckBox::toggled, this, [this](bool on) {
        floor_->setEnabled(on);
        updatePreview();
    });
    resize(820, 520);
    updatePreview();
}

model::PriceChange TformPriceChange::change() const {
    model::PriceChange c;
    c.step = step_->currentIndex() == 0 ? model::PriceStep::Percent : model::PriceStep::Amount;
    c.value = direction_->currentIndex() == 0 ? value_->value() : -value_->value();
    c.price = price_->isChecked();
    c.dealerPrice = dealer_->isChecked();
    c.rounding = kRoundings[rounding_->currentIndex()].rounding;
    c.basis = kBases[basis_->currentIndex()].basis;
    if (useFloor_->isChecked())
        c.floor = floor_->value();
    return c;
}

void TformPriceChange::updatePreview() {
    preview_ = model::previewPriceChange(vehicles_, rows_, change(), kGerman);
    list_->clear();
    QList<QTreeWidgetItem*> items;
    for (const model::PriceRow& r : preview_.rows) {
        auto* item = new QTreeWidgetItem({QString::number(r.index + 1), csv::vehicleTitle(vehicles_.at(r.index)),
                                          amount(r.oldPrice), amount(r.newPrice), amount(r.oldDealer),
                                          amount(r.newDealer), r.refusal});
        for (int c = 2; c <= 5; ++c)
            item->setTextAlignment(c, Qt::AlignRight | Qt::AlignVCenter);
        items << item;
    }
    list_->addTopLevelItems(items);
    for (int c = 0; c < 6; ++c)
        list_->resizeColumnToContents(c);
    refusal_->setText(preview_.refusal);
    ok_->setEnabled(preview_.canApply() && preview_.changedCount() > 0);
}

} // namespace tarmelo::gui
