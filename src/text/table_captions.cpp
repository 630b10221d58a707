#include "text/table_captions.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <vector>

#include "names/named_values.h"
#include "text/orbital_captions.h"
#include "text/picture_text.h"
#include "text/picture_title.h"

namespace {

// Labels smaller than this are not drawn: the run asks for a larger picture instead.
constexpr double kSmallestText = 6.0;

// An integer with the minus sign of print.
std::string SignedText(int32_t n)
{
    return WithPrintMinus(std::to_string(std::llabs(int64_t{n})), n < 0);
}

std::string RowLabel(int32_t l)
{
    return "l = " + std::to_string(l);
}

// The room between a caption and what it names, for text of dSize pixels.
double CaptionGap(double dSize)
{
    return 0.3 * dSize;
}

std::string ColumnLabel(int32_t m)
{
    return "m = " + SignedText(m);
}

}  // namespace

std::vector<std::string> TableCellCaption(int32_t l, int32_t m, const TableWords& words)
{
    OrbitalCaption orbital;
    if (words.labels == TableLabels::kOrbitals &&
        FindOrbitalCaption(l, m, words.convention, orbital, words.nPrincipal))
    {
        if (words.bPolynomials)
            return {orbital.strName, orbital.strPolynomial};
        return {orbital.strName};
    }
    if (words.nPrincipal > 0)
        return {"ψ(" + std::to_string(words.nPrincipal) + "," + std::to_string(l) + "," + SignedText(m) +
                ")"};
    return {"Y(" + std::to_string(l) + "," + SignedText(m) + ")"};
}

namespace {

// The widest of the texts and the tallest line among them, at the style's size.
struct Extents
{
    double dWidth = 0.0;
    double dLine = 0.0;
};

Extents Measure(const std::vector<std::string>& aTexts, const TextStyle& style)
{
    Extents extents;
    for (const std::string& strText : aTexts)
    {
        const TextExtent extent = MeasureText(strText, style);
        extents.dWidth = std::max(extents.dWidth, extent.dWidth);
        extents.dLine = std::max(extents.dLine, extent.dAscent + extent.dDescent);
    }
    return extents;
}

// The captions that are widest and tallest: those of the last row's outer cells, and of the
// orbitals.
std::vector<std::string> WidestCaptions(const TableWords& words)
{
    const int32_t nMax = words.nMax;
    std::vector<std::string> aTexts = {ColumnLabel(-nMax)};
    for (int32_t l = std::max(0, nMax - 1); l <= nMax; ++l)
        for (const std::string& strLine : TableCellCaption(l, -l, words))
            aTexts.push_back(strLine);
    for (int32_t l = 0; l <= std::min(nMax, 3); ++l)
        for (int32_t m = -l; m <= l; ++m)
            for (const std::string& strLine : TableCellCaption(l, m, words))
                aTexts.push_back(strLine);
    return aTexts;
}

int CaptionLines(const TableWords& words)
{
    return words.labels == TableLabels::kOrbitals && words.bPolynomials ? 2 : 1;
}

TextStyle CaptionStyle(double dSize, const TableWords& words)
{
    return TextStyle{dSize, TextColourOn(words.background), true};
}

}  // namespace

TableCaptions PlanTableCaptions(const TableWords& words)
{
    const int nMax = words.nMax, nWidth = words.nWidth, nHeight = words.nHeight;
    const std::string strTooSmall = "--size " + std::to_string(nWidth) + "x" + std::to_string(nHeight) +
                                    " is too small for --table " + std::to_string(nMax);
    TableMargins margins;
    margins.nTop = TitleHeight(words.strTitle, nWidth, nHeight);
    if (words.labels == TableLabels::kNone)
    {
        const TableLayout layout = LayOutTable(nMax, nWidth, nHeight, margins);
        if (layout.nSide < 1)
            throw std::invalid_argument(strTooSmall + " with --title");
        return TableCaptions{layout, 0.0};
    }
    // The picture's text size, or less where the cells would be too small for their captions.
    const double dSize =
        std::min(PictureTextSize(nWidth, nHeight), LayOutTable(nMax, nWidth, nHeight).nSide / 5.0);
    const double dGap = CaptionGap(dSize);
    const std::vector<std::string> aCaptions = WidestCaptions(words);
    const Extents cells = Measure(aCaptions, CaptionStyle(dSize, words));
    const Extents rows = Measure({RowLabel(nMax)}, CaptionStyle(dSize, words));
    margins.nTop += static_cast<int>(std::ceil(cells.dLine + 2.0 * dGap));
    margins.nLeft = static_cast<int>(std::ceil(rows.dWidth + 2.0 * dGap));
    margins.nBelowRow = static_cast<int>(std::ceil(CaptionLines(words) * cells.dLine + 2.0 * dGap));
    const TableLayout layout = LayOutTable(nMax, nWidth, nHeight, margins);
    // Captions wider than a cell shrink to its width.
    const double dFitted =
        cells.dWidth > 0.95 * layout.nSide ? dSize * 0.95 * layout.nSide / cells.dWidth : dSize;
    if (layout.nSide < 1 || dFitted < kSmallestText)
        throw std::invalid_argument(strTooSmall +
                                    " with readable labels: give a larger --size or no --table-labels");
    return TableCaptions{layout, dFitted};
}

void DrawTableCaptions(Picture& table, const TableCaptions& captions, const TableWords& words)
{
    DrawTitle(table, words.strTitle, words.background);
    if (captions.dTextSize <= 0.0)
        return;
    const TableLayout& layout = captions.layout;
    const TextStyle style = CaptionStyle(captions.dTextSize, words);
    const double dGap = CaptionGap(captions.dTextSize), dHalf = layout.nSide / 2.0;
    const double dLine = Measure({RowLabel(0)}, style).dLine;
    for (int32_t l = 0; l <= layout.nMax; ++l)
        DrawText(table, RowLabel(l), style, layout.nLeft - dGap, layout.CellTop(l) + dHalf - dLine / 2.0,
                 TextAlign::kRight, TextAnchor::kTop);
    for (int32_t m = -layout.nMax; m <= layout.nMax; ++m)
        DrawText(table, ColumnLabel(m), style, layout.CellLeft(m) + dHalf, layout.nTop - dGap,
                 TextAlign::kCentre, TextAnchor::kBottom);
    const double dCellLine = Measure(WidestCaptions(words), style).dLine;
    for (int32_t l = 0; l <= layout.nMax; ++l)
        for (int32_t m = -l; m <= l; ++m)
        {
            const std::vector<std::string> aLines = TableCellCaption(l, m, words);
            for (size_t i = 0; i < aLines.size(); ++i)
                DrawText(table, aLines[i], style, layout.CellLeft(m) + dHalf,
                         layout.CellTop(l) + layout.nSide + dGap + static_cast<double>(i) * dCellLine,
                         TextAlign::kCentre, TextAnchor::kTop);
        }
}

namespace {

constexpr NamedValue<TableLabels> kTableLabelsNames[] = {
    {"none", TableLabels::kNone},
    {"harmonics", TableLabels::kHarmonics,
     "\"Y(l,m)\" under each cell with \"l = ...\" beside each row and \"m = ...\" above each column"},
    {"orbitals", TableLabels::kOrbitals,
     "the same with the real orbitals' names (s, p_y, ..., f_x(x2-3y2)) under the cells of l <= 3, a minus "
     "before "
     "a name where Y(l, m) is the negative of that orbital in the convention chosen"},
};

}  // namespace

bool FindTableLabels(const std::string& strName, TableLabels& labels)
{
    return FindNamed(kTableLabelsNames, strName, labels);
}

std::vector<std::string> TableLabelsNames()
{
    return NamesOf(kTableLabelsNames);
}

NamedValues<TableLabels> TableLabelsNamedValues()
{
    return AllNamed(kTableLabelsNames);
}
