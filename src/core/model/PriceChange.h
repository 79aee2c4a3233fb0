#pragma once

#include "model/Fahrzeug.h"

#include <QList>
#include <QLocale>
#include <QString>
#include <optional>

namespace tarmelo::model {

enum class PriceStep { Percent, Amount };
// To the cent, to whole euros, to 10 or 100, or to a threshold price ending in 90 (below 10 000) or 990.
enum class PriceRounding { Cent, Euro, Ten, Hundred, Threshold };
// Which amount the change and the rounding act on: the one stored (net or gross as the vehicle says), or the
// gross or net amount, converted with the vehicle's VAT rate and stored back as it was entered.
enum class PriceBasis { AsStored, Gross, Net };

struct PriceChange {
    PriceStep step = PriceStep::Percent;
    double value = 0;         // percent or amount; positive raises, negative lowers
    bool price = true;        // preis
    bool dealerPrice = false; // hpreis
    PriceRounding rounding = PriceRounding::Cent;
    PriceBasis basis = PriceBasis::AsStored;
    // A lowered amount stops at this (on the basis); one already below it is not lowered further.
    std::optional<double> floor;
};

// One vehicle of the preview: its prices before and after. An amount of zero (no price given) stays zero.
struct PriceRow {
    int index = -1;
    double oldPrice = 0, newPrice = 0;
    double oldDealer = 0, newDealer = 0;
    QString refusal; // German; empty when the row can be applied
};

struct PricePreview {
    QList<PriceRow> rows;
    QString refusal; // why nothing may be applied (nothing ticked, or the first refused row); empty when it may

    bool canApply() const { return refusal.isEmpty(); }
    int changedCount() const;
};

// What the change would do to the vehicles at rows; changes nothing.
PricePreview previewPriceChange(const Inventory& inv, const QList<int>& rows, const PriceChange& change,
                                const QLocale& locale = QLocale());
// Writes the preview's new prices; false (and nothing written) when it cannot be applied.
bool applyPriceChange(Inventory& inv, const PricePreview& preview);
// Puts the old prices back: the undo step.
void revertPriceChange(Inventory& inv, const PricePreview& preview);

// An amount rounded as chosen; halves go up (commercial rounding).
double roundPrice(double amount, PriceRounding rounding);

} // namespace tarmelo::model
