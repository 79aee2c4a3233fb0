#pragma once

#include <QString>
#include <QUrl>

namespace tarmelo::shell {

// Help context numbers: each names one page, <number>.html, in the help folder.
inline constexpr int kHelpMain = 1000;
inline constexpr int kHelpDownload = 1001;
inline constexpr int kHelpUpload = 1002;
inline constexpr int kHelpPrint = 1003;
inline constexpr int kHelpUpdate = 1005;
inline constexpr int kHelpTips = 1006;
inline constexpr int kHelpPreview = 1007;
inline constexpr int kHelpInfo = 1008;
inline constexpr int kHelpRename = 1009;
// Every context the program opens; each has its page.
inline constexpr int kHelpContexts[] = {kHelpMain, kHelpDownload, kHelpUpload, kHelpPrint, kHelpUpdate,
                                        kHelpTips, kHelpPreview,  kHelpInfo,   kHelpRename};

// The installed help pages beside the executable's bin folder: <executableDir>/../share/tarmelo/help, absolute and
// cleaned. Returned whether or not it exists.
QString helpFolder(const QString& executableDir);
// The folder exists and holds the main page.
bool helpAvailable(const QString& folder);
// The page of `context`, or the main page when the folder has none for it.
QUrl helpPageUrl(const QString& folder, int context);
// The text shown when helpAvailable() fails.
QString missingHelpMessage(const QString& folder);

} // namespace tarmelo::shell
