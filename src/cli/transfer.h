#pragma once

#include <QStringList>

namespace tarmelo::cli {

// The sub-commands' arguments after their name; the result is the exit status.
int upload(const QStringList& args);
int download(const QStringList& args);

} // namespace tarmelo::cli
