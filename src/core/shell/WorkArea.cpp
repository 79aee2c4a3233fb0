#include "shell/WorkArea.h"

#include <algorithm>

namespace tarmelo::shell {

void resetRememberedOptions(Settings& s) {
    const Settings defaults;
    s.Username.clear();
    s.Password.clear();
    s.SavePassword = false;
    s.RenameMaskChecked = defaults.RenameMaskChecked;
    s.RenameMaskText = defaults.RenameMaskText;
    s.RenameMaskItem = defaults.RenameMaskItem;
    s.SkipNonSelected = defaults.SkipNonSelected;
    s.BeginningChars = defaults.BeginningChars;
    s.EndingChars = defaults.EndingChars;
    s.SearchText.clear();
    s.ReplaceText.clear();
    s.CounterStart = defaults.CounterStart;
    s.CounterStep = defaults.CounterStep;
    s.CounterDigits = defaults.CounterDigits;
    s.ActItem = -1;
    s.ShowTipps = true;
}

QRect fitOntoScreens(QRect window, const QList<QRect>& available, QMargins frame) {
    if (available.isEmpty() || !window.isValid())
        return window;
    QRect area = available.first();
    qint64 best = 0;
    for (const QRect& a : available) {
        const QRect overlap = a.intersected(window.marginsAdded(frame));
        const qint64 size = overlap.isValid() ? qint64(overlap.width()) * overlap.height() : 0;
        if (size > best) {
            best = size;
            area = a;
        }
    }
    const QRect inner = area.marginsRemoved(frame);
    window.setSize(window.size().boundedTo(inner.size()));
    window.moveLeft(std::clamp(window.left(), inner.left(), inner.right() - window.width() + 1));
    window.moveTop(std::clamp(window.top(), inner.top(), inner.bottom() - window.height() + 1));
    return window;
}

} // namespace tarmelo::shell
