#include "shell/WorkArea.h"

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

} // namespace tarmelo::shell
