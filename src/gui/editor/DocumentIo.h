#pragma once

#include "model/Fahrzeug.h"

#include <QList>
#include <QString>
#include <functional>

namespace tarmelo::gui {

// What opening a file gave: the vehicles taken and the closing message for the user.
struct OpenOutcome {
    model::Inventory vehicles;
    bool failed = false; // the file could not be read as a whole
    QString message;     // empty: every line was taken
    bool isError = false;
};
OpenOutcome openInventory(const QString& path);

struct SaveOutcome {
    bool ok = true;
    QString message;
    bool isError = false;
};
// The target gets ".zip" unless its extension already is one.
QString archivePath(const QString& target);
SaveOutcome saveInventory(const QString& target, const QList<QByteArray>& lines, const model::Inventory& inv, int first,
                          int last, const std::function<void(int)>& progress);

} // namespace tarmelo::gui
