#pragma once

#include <QString>

class QFileDevice;

namespace tarmelo::util {

// Files that hold a secret (config.ini with the scrambled password) or the dealer's business (the upload
// records) are readable by their owner alone.

// For a file just opened for writing, before anything is written to it: rw for the owner, nothing for others.
bool restrictToOwner(QFileDevice& file);
// An existing file that others may read loses those rights; a missing file is left missing.
void tightenToOwner(const QString& path);

} // namespace tarmelo::util
