#include "csv/LineColumns.h"

namespace tarmelo::csv {

const char* columnField(int column) {
    return column >= 1 && column <= int(lineColumns().size()) ? lineColumns()[size_t(column - 1)].field : nullptr;
}

} // namespace tarmelo::csv
