// The core's idea of what the editor stores (used for vehicles that come as JSON) must be what the editor stores.
#include "editor/StoredForm.h"
#include "common/Dialogs.h"
#include "editor/MainWindow.h"
#include "model/Cp1252.h"
#include "model/FieldSchema.h"
#include "support/TestVehicles.h"

#include <gtest/gtest.h>

using namespace tarmelo;

namespace {

// Values the show and store steps change: untrimmed and over-long texts, empty masks, lists that do not hold the
// value, amounts beyond their range or with more than cents, flags other than 0 and 1, lone line breaks.
model::TFahrzeug awkward(int c) {
    model::TFahrzeug v = test::validVehicle(c);
    v.modell = "  Modell mit Leerzeichen  ";
    v.vin = " WVW 123 ";
    v.farbe = "  silber ";
    v.kategorie = model::lowerCp1252(model::listItems(model::ListId::Kategorie, c).value(3));
    v.kraftstoff = "Kernfusion";
    v.lieferdatum.clear();
    v.hu.clear();
    v.bj.clear();
    v.preis = 600000000;
    v.hpreis = 1234.567;
    v.overpass = 120.4;
    v.abs = 2;
    v.unf = 7;
    v.memo = "Zeile 1\nZeile 2\rZeile 3\r\n \xA0"
             "Ende  ";
    v.inr = QByteArray(60, 'x');
    return v;
}

TEST(StoredFormTest, IsWhatTheEditorStores) {
    gui::Dialogs::setTestMode(true);
    for (int c = 1; c <= model::kClassCount; ++c) {
        SCOPED_TRACE(c);
        gui::TformMain w;
        const model::TFahrzeug v = awkward(c);
        w.setInventory({v});
        // Shown and stored twice, as when the dealer comes back to the vehicle.
        w.RefreshList();
        w.setInventory({w.vehicles()[0]});
        w.RefreshList();
        const model::TFahrzeug& stored = w.vehicles()[0];
        const model::TFahrzeug expected = editor::storedForm(v);
        for (const model::FieldSpec& f : model::fields()) {
            if (f.text) {
                EXPECT_EQ(model::fromCp1252(stored.*f.text).toStdString(),
                          model::fromCp1252(expected.*f.text).toStdString())
                    << f.name;
            } else if (f.byte) {
                EXPECT_EQ(stored.*f.byte, expected.*f.byte) << f.name;
            } else if (f.amount) {
                EXPECT_DOUBLE_EQ(stored.*f.amount, expected.*f.amount) << f.name;
            }
        }
        // Showing and storing the stored form changes nothing more.
        const model::TFahrzeug again = editor::storedForm(expected);
        for (const model::FieldSpec& f : model::fields()) {
            if (f.text) {
                EXPECT_EQ(again.*f.text, expected.*f.text) << f.name;
            } else if (f.byte) {
                EXPECT_EQ(again.*f.byte, expected.*f.byte) << f.name;
            } else if (f.amount) {
                EXPECT_EQ(again.*f.amount, expected.*f.amount) << f.name;
            }
        }
    }
    gui::Dialogs::setTestMode(false);
}

} // namespace
