#include "shell/Desktop.h"

#include <QDesktopServices>

namespace tarmelo::gui {

namespace {
struct State {
    bool recording = false;
    QList<QUrl> opened;
};
State& state() {
    static State s;
    return s;
}
} // namespace

void Desktop::openUrl(const QUrl& url) {
    if (state().recording) {
        state().opened.append(url);
        return;
    }
    // The desktop's own reaction covers an address nothing can open; the program shows no message.
    QDesktopServices::openUrl(url);
}

void Desktop::setRecording(bool on) {
    state().recording = on;
    state().opened.clear();
}

QList<QUrl>& Desktop::opened() {
    return state().opened;
}

} // namespace tarmelo::gui
