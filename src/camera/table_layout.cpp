#include "camera/table_layout.h"

#include <algorithm>

TableLayout LayOutTable(int nMax, int nWidth, int nHeight, const TableMargins& margins)
{
    const int nColumns = 2 * nMax + 1, nRows = nMax + 1;
    const int nSide =
        std::min((nWidth - margins.nLeft) / nColumns, (nHeight - margins.nTop) / nRows - margins.nBelowRow);
    const int nPitch = nSide + margins.nBelowRow;
    return TableLayout{nMax, nSide, margins.nLeft + (nWidth - margins.nLeft - nColumns * nSide) / 2,
                       margins.nTop + (nHeight - margins.nTop - nRows * nPitch) / 2, nPitch};
}

namespace {

constexpr NamedValue<TableScale> kTableScaleNames[] = {
    {"each", TableScale::kEach, "every --table cell fitted alone"},
    {"common", TableScale::kCommon,
     "one distance for every cell, the one that fits the largest, so that sizes compare"},
};

}  // namespace

NamedValues<TableScale> TableScaleNamedValues()
{
    return AllNamed(kTableScaleNames);
}
