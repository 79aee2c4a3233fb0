#include "inventory/Document.h"

#include "csv/InventoryCheck.h"
#include "editor/NewRecord.h"
#include "inventory/RecentFiles.h"
#include "inventory/StockMember.h"

#include <atomic>

namespace tarmelo::inventory {

Document::Document(QObject* parent) : QObject(parent) {
    for (int n = 0; n < kRecentCount; ++n)
        recent_.append(QString());
}

int Document::appendNew(int klasse) {
    if (klasse < 1 || klasse > model::kClassCount)
        return -1;
    vehicles_.append(editor::newRecord(klasse));
    const int row = count() - 1;
    addRevisions(row);
    emit rowsInserted(row, row);
    return row;
}

int Document::appendCopy(int row) {
    if (row < 0 || row >= count())
        return -1;
    const int copy = model::appendCopy(vehicles_, row);
    addRevisions(copy);
    emit rowsInserted(copy, copy);
    return copy;
}

void Document::append(model::Inventory vehicles) {
    if (vehicles.isEmpty())
        return;
    const int first = count();
    vehicles_.reserve(first + vehicles.size());
    for (model::TFahrzeug& v : vehicles)
        vehicles_.append(std::move(v));
    addRevisions(first);
    emit rowsInserted(first, count() - 1);
}

void Document::removeAt(int row) {
    if (row < 0 || row >= count())
        return;
    model::removeAt(vehicles_, row);
    revisions_.removeAt(row);
    emit rowRemoved(row);
}

void Document::clear() {
    vehicles_.clear();
    revisions_.clear();
    emit cleared();
}

void Document::setSaved(bool saved) {
    if (saved_ == saved)
        return;
    saved_ = saved;
    emit savedChanged(saved);
}

void Document::setName(const QString& name) {
    name_ = name;
    emit nameChanged(name);
}

void Document::setRecent(const QStringList& paths) {
    QStringList r;
    for (int n = 0; n < kRecentCount; ++n)
        r.append(paths.value(n));
    recent_ = r;
    emit recentChanged(recent_);
}

void Document::addToRecent(const QString& path) {
    setRecent(inventory::addToRecent(recent_, path));
}

void Document::forgetRecent(int n) {
    if (n < 1 || n > kRecentCount)
        return;
    QStringList rest = recent_;
    rest[n - 1].clear();
    setRecent(closeRecentGaps(rest));
}

void Document::setAutomaticIntNr(bool on) {
    if (automaticIntNr_ == on)
        return;
    automaticIntNr_ = on;
    emit automaticIntNrChanged(on);
}

void Document::recordStockChanges(QDate today) {
    for (const int row : inventory::recordStockChanges(vehicles_, today))
        emit rowChanged(row);
}

void Document::setStatus(int row, model::StockStatus status, QDate today) {
    if (row < 0 || row >= count() || vehicles_[row].bestand.status == status)
        return;
    model::setStatus(vehicles_[row].bestand, status, today);
    changed(row);
    markModified();
}

std::optional<csv::InventoryFailure> Document::check(QDate today) const {
    return csv::checkInventory(vehicles_, automaticIntNr_, today);
}

csv::StockReport Document::checkStock(QDate today) const {
    return csv::checkStock(vehicles_, automaticIntNr_, today);
}

namespace {

quint64 nextRevision() {
    static std::atomic<quint64> last{0};
    return ++last;
}

} // namespace

void Document::touch(int row) {
    revisions_[row] = nextRevision();
}

void Document::addRevisions(int first) {
    for (int row = first; row < count(); ++row)
        revisions_.append(nextRevision());
}

} // namespace tarmelo::inventory
