#include "RowTexts.h"

#include "model/Cp1252.h"
#include "model/ValueLists.h"

#include <cmath>
#include <optional>

namespace tarmelo::editor {

namespace {

QString maskText(const QByteArray& text) {
    return text == model::kEmptyMonth ? QString() : model::fromCp1252(text);
}

// A whole amount with the locale's thousands separators, e.g. "12.500 EUR".
QString amountText(double amount, const QString& unit, const QLocale& locale) {
    double whole = std::round(amount);
    if (whole == 0.0)
        whole = 0.0; // no "-0" for small negative amounts
    return locale.toString(whole, 'f', 0) + u' ' + unit;
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

    if (std::abs(v.preis) > 1e-12) {
        const QString unit = model::fromCp1252(v.waehr);
        const bool net = v.bn == 1;
        // A rate that is neither readable nor "MwSt nicht ausweisbar" is shown as if no rate could be stated:
        // the price is known only as it was entered.
        const std::optional<double> rate = model::vatPercent(v.mwst);
        if (rate) {
            const double factor = 1.0 + *rate / 100.0;
            c[7] = amountText(net ? v.preis : v.preis / factor, unit, locale);
            c[8] = amountText(net ? v.preis * factor : v.preis, unit, locale);
        } else if (net) {
            c[7] = amountText(v.preis, unit, locale);
            c[8] = QStringLiteral("kein MwSt-Satz angegeben");
        } else {
            c[8] = amountText(v.preis, unit, locale);
        }
    }

    QString memo = model::fromCp1252(v.memo);
    memo.replace(QStringLiteral("\r\n"), QStringLiteral(", "));
    memo.replace(u'\r', QStringLiteral(", "));
    memo.replace(u'\n', QStringLiteral(", "));
    r.detail = memo;
    return r;
}

} // namespace tarmelo::editor
