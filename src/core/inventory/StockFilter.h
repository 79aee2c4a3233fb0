#pragma once

#include "csv/StockCheck.h"
#include "model/Fahrzeug.h"

#include <QCollator>
#include <QDate>
#include <QList>
#include <QLocale>
#include <QString>

namespace tarmelo::inventory {

// What the search box, the class drop-down and "nur fehlerhafte" ask for.
struct StockQuery {
    QString text;            // words, all of which must occur (case ignored)
    int klasse = 0;          // 0: "alle", else the class 1..12
    bool onlyFaulty = false; // only vehicles that break a rule (red light)
    bool sold = false;       // the sold vehicles ("Verkaufte Fahrzeuge") instead of the stock
};

// The columns of the vehicle list by their number.
enum class SortColumn : int {
    Position = 0,
    Marke,
    Modell,
    Ez,
    Hu,
    Au,
    Kilometer,
    Leistung,
    PreisNetto,
    PreisBrutto,
    Light,
    Standtage,
};

// Filters and sorts the rows the vehicle list shows, never the inventory itself. Keeps per-vehicle results (the
// searchable text, the light) keyed by the document's revisions, so a keystroke only searches texts at hand.
class StockFilter {
public:
    explicit StockFilter(const QLocale& locale = QLocale());

    // The rows the query lets through, in inventory order. revisions holds one number per vehicle that changes
    // with the record (Document::revisions); an empty list means "everything may have changed".
    QList<int> visibleRows(const model::Inventory& inv, const QList<quint64>& revisions, const StockQuery& query,
                           bool automaticIntNr, QDate today);

    // The light of every vehicle, the same as the stock check's.
    QList<csv::Light> lights(const model::Inventory& inv, const QList<quint64>& revisions, bool automaticIntNr,
                             QDate today);

    // Sorts rows (positions into inv) by a column, stably: equal keys keep their order, empty values go last in
    // either direction. Numbers, months and amounts compare as such, texts by the collator (German rules); the
    // light by `lights`, the days in stock as of `today`.
    void sortRows(QList<int>& rows, const model::Inventory& inv, SortColumn column, Qt::SortOrder order,
                  const QCollator& collator, const QList<csv::Light>& lights = {}, QDate today = {}) const;

    // The text a vehicle is searched in, lower case: brand, model, internal number, VIN, category, prices and years.
    QString searchText(const model::TFahrzeug& v) const;

private:
    struct Entry {
        quint64 revision = 0;
        bool known = false;
        QString text;
        int ownLight = -1; // csv::Light of the vehicle's own rules and warnings; -1 not yet checked
    };
    // Brings the cache to the inventory; returns whether any record changed since the last call.
    bool sync(const model::Inventory& inv, const QList<quint64>& revisions);
    void syncShared(const model::Inventory& inv, bool automaticIntNr);
    csv::Light lightOf(int row, const model::Inventory& inv, QDate today);

    QLocale locale_;
    QList<Entry> cache_;
    QDate checkedFor_;
    // What compares vehicles: repeated and shared internal numbers and VINs, valid while nothing changed.
    bool sharedValid_ = false;
    bool sharedAutomatic_ = true;
    QList<bool> missingInr_, repeatsInr_, sharesInr_, sharesVin_;
};

} // namespace tarmelo::inventory
