#include "csv/VehicleChecks.h"
#include "model/FieldSchema.h"
#include "model/VehicleClass.h"

#include "../../support/TestVehicles.h"

#include <gtest/gtest.h>

#include <functional>

using namespace tarmelo;
using model::TFahrzeug;

namespace {

enum class Where { G, E, E1, E2, Bj };

const QDate kToday(2026, 12, 1);

void makeNew(TFahrzeug& v) {
    v.typ = "Neuwagen";
    v.ez.clear();
    v.kilometer.clear();
}

} // namespace

// Every class reports a failure on the page and tab of the field's control, also where the class has no control
// for the field (data from outside the editor).
TEST(CheckPages, EveryClassShowsTheFailureWhereTheFieldStands) {
    struct Row {
        int check;
        std::function<void(TFahrzeug&)> mutate;
        Where where;
    };
    const Row rows[] = {
        {7, [](auto& v) { makeNew(v), v.tuev_neu = 1; }, Where::E1},
        {8, [](auto& v) { makeNew(v), v.export_ = 1; }, Where::E1},
        {9, [](auto& v) { v.lieferfrist = "2 Wochen"; }, Where::E2},
        {10, [](auto& v) { v.overpass = 10; }, Where::E2},
        {13, [](auto& v) { makeNew(v), v.lieferdatum = "01.01.2020", v.lieferfrist = "2 Wochen"; }, Where::E2},
        {14, [](auto& v) { v.envkv = 1; }, Where::E},
        {15, [](auto& v) { v.innerorts = "5", v.kraftstoff = "Elektro"; }, Where::G},
        {16, [](auto& v) { v.innerorts = "0"; }, Where::E},
        {17, [](auto& v) { v.ausserorts = "100"; }, Where::E},
        {18, [](auto& v) { v.kombiniert = "x"; }, Where::E},
        {19, [](auto& v) { v.co2 = "1000"; }, Where::E},
        {20, [](auto& v) { v.bj = "2100"; }, Where::Bj},
        {21, [](auto& v) { v.ez = "13-2005"; }, Where::G},
        {25, [](auto& v) { v.hu = "13-2005"; }, Where::G},
        {27, [](auto& v) { v.au = "00-2005"; }, Where::G},
        {31, [](auto& v) { v.leistung = "0"; }, Where::G},
        {32, [](auto& v) { v.farbe = "123"; }, Where::G},
        {33, [](auto& v) { v.preis = 0; }, Where::G},
    };
    for (const Row& r : rows) {
        for (int k = 1; k <= 12; ++k) {
            SCOPED_TRACE(testing::Message() << "check " << r.check << " class " << k);
            TFahrzeug v = test::validVehicle(k);
            r.mutate(v);
            const auto f = csv::checkVehicle(v, kToday);
            ASSERT_TRUE(f);
            ASSERT_EQ(f->check, r.check);
            const bool tabs = model::classLayout(k).hasTabs();
            Where where = r.where == Where::Bj ? (k == 3 ? Where::E2 : Where::G) : r.where;
            if (!tabs && (where == Where::E1 || where == Where::E2))
                where = Where::E;
            EXPECT_EQ(f->page, where == Where::G ? model::Page::General : model::Page::Equipment);
            const model::Tab tab = where == Where::E1   ? model::Tab::Seite1
                                   : where == Where::E2 ? model::Tab::Seite2
                                                        : model::Tab::Unchanged;
            EXPECT_EQ(f->tab, tab);
            // Where the class has the control, the failure agrees with the page layout.
            const model::Placement p = model::placement(f->field, k);
            if (p.found) {
                EXPECT_EQ(f->page, p.page);
                EXPECT_EQ(f->tab, p.tab);
            }
        }
    }
}
