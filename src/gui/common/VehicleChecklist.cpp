#include "common/VehicleChecklist.h"
#include "util/Text.h"

#include "model/Cp1252.h"
#include "model/ValueLists.h"
#include "print/FeatureList.h"
#include "print/PriceTexts.h"

#include <QTreeWidget>

namespace tarmelo::gui {

namespace {

QString dashIfEmpty(const QByteArray& text, bool choose) {
    const QByteArray t = util::trimControls(text);
    if (t.isEmpty() || (choose && t == model::items::kBitteAuswaehlen))
        return QStringLiteral("-");
    return model::fromCp1252(text);
}

} // namespace

QTreeWidgetItem* addVehicleRow(QTreeWidget* list, qsizetype index, const model::TFahrzeug& v, const QLocale& locale) {
    auto* item = new QTreeWidgetItem(list);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    item->setCheckState(ColNr, Qt::Checked);
    item->setText(ColNr, QString::number(index + 1));
    item->setText(ColMarke, dashIfEmpty(v.marke, true));
    item->setText(ColModell, dashIfEmpty(v.modell, false));
    const print::PriceColumns prices = print::priceColumns(v, locale);
    item->setText(ColNet, prices.net);
    item->setText(ColGross, prices.gross);
    return item;
}

} // namespace tarmelo::gui
