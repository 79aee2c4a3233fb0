#include "editor/NewRecord.h"

#include "model/FieldSchema.h"
#include "model/ValueLists.h"

namespace tarmelo::editor {

namespace {

// An unfilled mask: every digit position blank, the date's separators the German dots.
QByteArray blankMask(const model::FieldSpec& f) {
    QByteArray out;
    for (const char* p = f.mask; p && *p && *p != ';'; ++p)
        out += (*p == '9' || *p == '0') ? ' ' : (*p == '/' ? '.' : *p);
    return out;
}

} // namespace

model::TFahrzeug newRecord(int klasse) {
    model::TFahrzeug v = model::newVehicle(klasse);
    for (const model::FieldSpec& f : model::fields()) {
        if (!model::hasControl(f, klasse) || !f.text)
            continue;
        if (f.control == model::Control::Combo) {
            v.*f.text = f.list == model::ListId::Farbe ? model::colourShowText(v.*f.text)
                                                       : model::storeText(f.list, klasse, model::showIndex(f, v));
        } else if (f.control == model::Control::Mask && (v.*f.text).isEmpty()) {
            const QByteArray blank = blankMask(f);
            v.*f.text = model::cut(model::inSet(f.trimIn, klasse) ? blank.trimmed() : blank, f.width);
        }
    }
    return v;
}

} // namespace tarmelo::editor
