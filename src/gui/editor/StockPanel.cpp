#include "editor/StockPanel.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QSignalBlocker>
#include <QToolButton>

namespace tarmelo::gui {

namespace {

constexpr model::StockStatus kStatuses[] = {model::StockStatus::Available, model::StockStatus::Reserved,
                                            model::StockStatus::Sold};

QString euro(double amount) {
    const QLocale german(QLocale::German, QLocale::Germany);
    const bool cents = std::abs(amount - std::round(amount)) >= 0.005;
    return german.toString(amount, 'f', cents ? 2 : 0) + QStringLiteral(" €");
}

QString dateText(QDate d) {
    return d.toString(QStringLiteral("dd.MM.yyyy"));
}

} // namespace

StockPanel::StockPanel(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("plStock"));
    auto* h = new QHBoxLayout(this);
    h->setContentsMargins(0, 0, 0, 0);
    auto* tag = new QLabel(QStringLiteral("Status:"), this);
    QFont bold = tag->font();
    bold.setBold(true);
    tag->setFont(bold);
    status_ = new QComboBox(this);
    status_->setObjectName(QStringLiteral("cmbStatus"));
    for (const model::StockStatus s : kStatuses)
        status_->addItem(model::statusText(s));
    status_->setToolTip(QStringLiteral("Verkaufte Fahrzeuge werden nicht hochgeladen und stehen unter "
                                       "\"Verkaufte Fahrzeuge\"."));
    days_ = new QLabel(this);
    days_->setObjectName(QStringLiteral("lblStandtage"));
    history_ = new QToolButton(this);
    history_->setObjectName(QStringLiteral("btnPriceHistory"));
    history_->setText(QStringLiteral("Preisverlauf"));
    history_->setAutoRaise(true);
    history_->setPopupMode(QToolButton::InstantPopup);
    history_->setMenu(new QMenu(history_));
    history_->menu()->setObjectName(QStringLiteral("mnuPriceHistory"));
    h->addWidget(tag);
    h->addWidget(status_);
    h->addSpacing(12);
    h->addWidget(days_);
    h->addSpacing(12);
    h->addWidget(history_);
    connect(status_, &QComboBox::activated, this, [this](int index) {
        if (index >= 0 && index < int(std::size(kStatuses)))
            emit statusChosen(kStatuses[index]);
    });
    showStock(nullptr, {});
}

void StockPanel::showStock(const model::StockInfo* stock, QDate today) {
    setEnabled(stock != nullptr);
    QMenu* menu = history_->menu();
    menu->clear();
    if (!stock) {
        const QSignalBlocker block(status_);
        status_->setCurrentIndex(0);
        days_->clear();
        history_->setEnabled(false);
        return;
    }
    {
        const QSignalBlocker block(status_);
        status_->setCurrentIndex(int(stock->status));
    }
    QString days;
    if (const std::optional<qint64> n = model::daysInStock(*stock, today)) {
        days =
            QStringLiteral("Standtage: %1%2").arg(stock->enteredGuessed ? QStringLiteral("ca. ") : QString()).arg(*n);
        QString since = QStringLiteral("Im Bestand seit %1").arg(dateText(stock->entered));
        if (stock->enteredGuessed)
            since += QStringLiteral(" (geschätzt: Datum der Datei)");
        if (stock->status == model::StockStatus::Sold && stock->sold.isValid())
            since += QStringLiteral(", verkauft am %1").arg(dateText(stock->sold));
        days_->setToolTip(since);
    } else {
        days = QStringLiteral("Standtage: -");
        days_->setToolTip(QStringLiteral("Der Eingang wird beim ersten Speichern vermerkt."));
    }
    days_->setText(days);
    // Newest first: the change the dealer asks about is mostly the last one.
    for (auto it = stock->prices.crbegin(); it != stock->prices.crend(); ++it) {
        const QString field = it->field == "hpreis" ? QStringLiteral("Händlerpreis") : QStringLiteral("Preis");
        menu->addAction(QStringLiteral("%1  %2: %3 → %4").arg(dateText(it->date), field, euro(it->from), euro(it->to)));
    }
    history_->setEnabled(!stock->prices.isEmpty());
    history_->setText(stock->prices.isEmpty() ? QStringLiteral("Preisverlauf")
                                              : QStringLiteral("Preisverlauf (%1)").arg(stock->prices.size()));
}

} // namespace tarmelo::gui
