#include "editor/StoredForm.h"

#include "model/FieldSchema.h"
#include "model/ValueLists.h"

#include <algorithm>
#include <cmath>

namespace tarmelo::editor {

namespace {

using model::Control;
using model::FieldSpec;

// An unfilled mask: every digit position blank, the date's separators the German dots.
QByteArray blankMask(const FieldSpec& f) {
    QByteArray out;
    for (const char* p = f.mask; p && *p && *p != ';'; ++p)
        out += (*p == '9' || *p == '0') ? ' ' : (*p == '/' ? '.' : *p);
    return out;
}

QByteArray trimmedIfStored(const FieldSpec& f, int klasse, const QByteArray& text) {
    return model::cut(model::inSet(f.trimIn, klasse) ? text.trimmed() : text, f.width);
}

// The text control knows one line break; a lone CR or LF becomes CR LF like a pair. It shows a non-breaking
// space as a blank.
QByteArray memoForm(const QByteArray& memo) {
    QByteArray out;
    out.reserve(memo.size());
    for (qsizetype i = 0; i < memo.size(); ++i) {
        const char ch = memo[i];
        if (ch == '\r' || ch == '\n') {
            out += "\r\n";
            if (ch == '\r' && i + 1 < memo.size() && memo[i + 1] == '\n')
                ++i;
        } else {
            out += ch == '\xA0' ? ' ' : ch;
        }
    }
    return out;
}

double amountForm(const FieldSpec& f, double value) {
    const model::AmountRange range = model::amountRange(f);
    const double scale = std::pow(10.0, range.decimals);
    return std::round(std::clamp(value, 0.0, range.maximum) * scale) / scale;
}

} // namespace

model::TFahrzeug storedForm(model::TFahrzeug v) {
    const int c = v.klasse;
    for (const FieldSpec& f : model::fields()) {
        if (!model::hasControl(f, c))
            continue;
        switch (f.control) {
        case Control::Combo:
            if (f.list == model::ListId::Farbe)
                v.*f.text = model::cut(model::colourStoreText(model::colourShowText(v.*f.text)), f.width);
            else
                // Twice: a value the list does not hold is stored empty, and an empty one shows the first item.
                for (int pass = 0; pass < 2; ++pass)
                    model::storeIndex(f, v, model::showIndex(f, v));
            break;
        case Control::Edit:
            v.*f.text = trimmedIfStored(f, c, v.*f.text);
            break;
        case Control::Mask:
            v.*f.text = trimmedIfStored(f, c, (v.*f.text).isEmpty() ? blankMask(f) : v.*f.text);
            break;
        case Control::Amount:
            v.*f.amount = amountForm(f, v.*f.amount);
            break;
        case Control::Check:
        case Control::Radio:
            v.*f.byte = v.*f.byte ? 1 : 0;
            break;
        case Control::Memo:
            v.*f.text = model::cut(memoForm(v.*f.text).trimmed(), f.width);
            break;
        default:
            break;
        }
    }
    return v;
}

} // namespace tarmelo::editor
