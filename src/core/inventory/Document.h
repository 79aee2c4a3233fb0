#pragma once

#include "csv/StockCheck.h"
#include "csv/VehicleChecks.h"
#include "model/Fahrzeug.h"

#include <QDate>
#include <QObject>
#include <QStringList>
#include <optional>

namespace tarmelo::inventory {

// The open inventory: the vehicle array, its name, the saved flag, the recent files and the numbering switch.
// Every change goes through here and is announced, so the window never has to remember to follow it.
class Document : public QObject {
    Q_OBJECT
public:
    explicit Document(QObject* parent = nullptr);

    const model::Inventory& vehicles() const { return vehicles_; }
    int count() const { return int(vehicles_.size()); }
    const model::TFahrzeug& at(int row) const { return vehicles_[row]; }
    // The record for an in-place edit (the editor's store step, photos); announce it with changed().
    model::TFahrzeug& edit(int row) {
        touch(row);
        return vehicles_[row];
    }
    void changed(int row) {
        touch(row);
        emit rowChanged(row);
    }
    // One number per record that changes whenever the record may have changed and is never given twice, not even
    // by another document: what
    // caches of per-vehicle results (the search list's check lights) are keyed by.
    const QList<quint64>& revisions() const { return revisions_; }

    // Each returns the position of the new record, or -1 when nothing was added.
    int appendNew(int klasse);
    int appendCopy(int row);
    void append(model::Inventory vehicles);
    void removeAt(int row);
    // Releases every record; name and saved flag stay as they are.
    void clear();

    bool isSaved() const { return saved_; }
    void setSaved(bool saved);
    void markModified() { setSaved(false); }

    QString name() const { return name_; }
    void setName(const QString& name);

    QStringList recent() const { return recent_; }
    void setRecent(const QStringList& paths);
    void addToRecent(const QString& path);
    // Empties position n (1..4) and closes the gap.
    void forgetRecent(int n);

    bool automaticIntNr() const { return automaticIntNr_; }
    void setAutomaticIntNr(bool on);

    // Before every save of the whole inventory: entry dates, sale dates and price changes since the last save
    // (StockMember.h); announces the rows changed.
    void recordStockChanges(QDate today);
    // The dealer's status of a vehicle; "verkauft" notes the day. Marks the inventory modified when it changes.
    void setStatus(int row, model::StockStatus status, QDate today);

    // The error check of the whole inventory with the current numbering.
    std::optional<csv::InventoryFailure> check(QDate today) const;
    // Every failure and warning of every vehicle with the current numbering.
    csv::StockReport checkStock(QDate today) const;

signals:
    void rowsInserted(int first, int last);
    void rowRemoved(int row);
    void cleared();
    void rowChanged(int row);
    void savedChanged(bool saved);
    void nameChanged(const QString& name);
    void recentChanged(const QStringList& paths);
    void automaticIntNrChanged(bool on);

private:
    void touch(int row);
    void addRevisions(int first);

    model::Inventory vehicles_;
    QList<quint64> revisions_;
    bool saved_ = false;
    QString name_;
    QStringList recent_;
    bool automaticIntNr_ = true;
};

} // namespace tarmelo::inventory
