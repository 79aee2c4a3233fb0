#pragma once

#include "model/Fahrzeug.h"

#include <QLocale>
#include <QString>
#include <array>

namespace tarmelo::editor {

// The texts of one row of the vehicle list: columns 1 to 9 and the detail line under the row.
struct RowTexts {
    std::array<QString, 9> cells; // cells[0] is column 1 ("Marke") ... cells[8] column 9 ("Preis (brutto)")
    QString detail;
};

RowTexts rowTexts(const model::TFahrzeug& v, const QLocale& locale = QLocale());

// The "Standtage" cell: the days in stock as of today, "ca. " before a guessed count, empty while unknown.
QString daysText(const model::StockInfo& s, QDate today);

} // namespace tarmelo::editor
