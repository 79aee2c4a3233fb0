#include "csv/InventoryCheck.h"

namespace tarmelo::csv {

std::optional<InventoryFailure> checkInventory(const model::Inventory& inv, bool automaticIntNr, QDate today) {
    if (!automaticIntNr) {
        if (auto f = checkInternalNumbers(inv, 0, int(inv.size()) - 1))
            return f;
    }
    for (int i = 0; i < inv.size(); ++i) {
        if (auto f = checkVehicle(inv[i], today))
            return InventoryFailure{i, *f};
    }
    return std::nullopt;
}

int pageIndex(const CheckFailure& f) {
    return f.page == model::Page::Equipment ? 1 : 0;
}

int tabIndex(const CheckFailure& f) {
    switch (f.tab) {
    case model::Tab::Seite1:
        return 1;
    case model::Tab::Seite2:
        return 2;
    default:
        return 0;
    }
}

} // namespace tarmelo::csv
