// The list reply, as the ad list fills itself from it, then every cell of the first rows read
// and each column sorted.
#include "AdList.h"
#include "AdListModel.h"
#include "FuzzInput.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    AdListModel list;
    FillAdList(list, Bytes(data, size));
    const int rows = std::min(list.rowCount(), 64);
    for (int column = 0; column < kAdListColumns; ++column) {
        for (int row = 0; row < rows; ++row) list.data(list.index(row, column), Qt::DisplayRole);
        list.CycleSort(column);
    }
    list.CheckedIds();
    return 0;
}
