#pragma once

#include <QList>
#include <QUrl>

namespace tarmelo::gui {

// Hands web addresses, mail addresses and files to the desktop. Tests record instead of starting a browser.
class Desktop {
public:
    static void openUrl(const QUrl& url);
    static void setRecording(bool on);
    static QList<QUrl>& opened();
};

} // namespace tarmelo::gui
