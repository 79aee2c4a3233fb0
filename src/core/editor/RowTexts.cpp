#include "RowTexts.h"

#include "model/Cp1252.h"
#include "model/Prices.h"
#include "model/ValueLists.h"

#include <cmath>
#include <optional>

namespace tarmelo::editor {

namespace {

QString maskText(const QByteArray& text) {
    return text == model::kEmptyMonth ? QString() : model::fromCp1252(text);
}

} // namespace

RowTexts rowTexts(const model::TFahrzeug& v, const QLocale& locale) {
    RowTexts r;
    auto& c = r.cells;

    const QString marke = model::fromCp1252(v.marke);
    if (marke != QStringLiteral("Bitte auswählen"))
        c[0] = marke;
    c[1] = model::fromCp1252(v.modell);
    c[2] = maskText(v.ez);
    c[3] = maskText(v.hu);
    c[4] = maskText(v.au);

    bool ok = false;
    const qlonglong km = v.kilometer.trimmed().toLongLong(&ok);
    if (ok)
        c[5] = locale.toString(km) + QStringLiteral(" km");

    if (!v.leistung.trimmed().isEmpty())
        c[6] = model::fromCp1252(v.leistung) + (v.kwps == 1 ? QStringLiteral(" PS") : QStringLiteral(" kW"));

    if (!model::isZeroAmount(v.preis)) {
        const QString unit = model::fromCp1252(v.waehr);
        const model::NetGross p = model::netAndGross(v, v.preis);
        if (p.net)
            c[7] = model::amountText(*p.net, unit, locale);
        if (p.gross)
            c[8] = model::amountText(*p.gross, unit, locale);
        else
            c[8] = QStringLiteral("kein MwSt-Satz angegeben");
    }

    QString memo = model::fromCp1252(v.memo);
    memo.replace(QStringLiteral("\r\n"), QStringLiteral(", "));
    memo.replace(u'\r', QStringLiteral(", "));
    memo.replace(u'\n', QStringLiteral(", "));
    r.detail = memo;
    return r;
}

QString daysText(const model::StockInfo& s, QDate today) {
    const std::optional<qint64> days = model::daysInStock(s, today);
    if (!days)
        return {};
    return (s.enteredGuessed ? QStringLiteral("ca. ") : QString()) + QString::number(*days);
}

} // namespace tarmelo::editor
