#include "fields/healpix_map_file.h"

#include <fitsio.h>

#include "fields/coefficient_file_names.h"
#include "fields/coefficient_text.h"
#include "fields/fits_file.h"
#include "healpix/pixel_order.h"
#include "sht/build_limits.h"

namespace {

// The type letter of a numeric column's values, or 0 for a column of another kind.
char NumericForm(int nType)
{
    switch (nType)
    {
        case TFLOAT:
            return 'E';
        case TDOUBLE:
            return 'D';
        case TBYTE:
            return 'B';
        case TSHORT:
            return 'I';
        case TINT:
        case TLONG:
            return 'J';
        case TLONGLONG:
            return 'K';
        case TSBYTE:
        case TUSHORT:
        case TUINT:
        case TULONG:
        case TULONGLONG:
            return 'D';  // read as doubles, which hold them exactly up to 2^53
        default:
            return 0;
    }
}

int ChosenColumn(CFitsFile& file, const MapColumnChoice& choice)
{
    const std::vector<FitsColumn>& aColumns = file.GetColumns();
    if (choice.strName.empty())
    {
        if (choice.nIndex < 0 || static_cast<size_t>(choice.nIndex) >= aColumns.size())
            file.Fail("the map has " + std::to_string(aColumns.size()) + " columns, no column " +
                      std::to_string(choice.nIndex) + " (0 the first)");
        return choice.nIndex;
    }
    for (size_t i = 0; i < aColumns.size(); ++i)
        if (EqualsIgnoringCase(aColumns[i].strName, choice.strName))
            return static_cast<int>(i);
    file.Fail("the map has no column named " + QuoteFileText(choice.strName));
}

// Refuses what is no full-sky HEALPix map in RING or NESTED order; true for NESTED.
bool CheckHeader(CFitsFile& file, int64_t nNside)
{
    if (const std::optional<std::string> pixtype = file.StringKeyword("PIXTYPE");
        pixtype && *pixtype != "HEALPIX")
        file.Fail("PIXTYPE is " + QuoteFileText(*pixtype) + ", not HEALPIX");
    const std::string strOrdering = file.StringKeyword("ORDERING").value_or("RING");
    if (strOrdering != "RING" && strOrdering != "NESTED")
        file.Fail("ORDERING is " + QuoteFileText(strOrdering) + ", neither RING nor NESTED");
    const bool bNested = strOrdering == "NESTED";
    if (bNested ? !IsNestedNside(nNside) : nNside < 1 || nNside > kMaxNside)
        file.Fail(
            "NSIDE is " + std::to_string(nNside) + ", not " +
            (bNested ? "a power of 2 from 1 to 2^29, as NESTED needs" : "a whole number from 1 to 2^29"));
    const std::string strScheme = file.StringKeyword("INDXSCHM").value_or("IMPLICIT");
    const std::string strObject = file.StringKeyword("OBJECT").value_or("FULLSKY");
    if (strScheme != "IMPLICIT" || strObject == "PARTIAL")
        file.Fail("it is a partial-sky map (INDXSCHM " + strScheme + ", OBJECT " + strObject +
                  "), and those are not read");
    return bNested;
}

// Refuses a map whose FIRSTPIX and LASTPIX, where stated, are not its first and last pixel.
void CheckPixelRange(CFitsFile& file, int64_t nPixels)
{
    const int64_t nFirstPixel = file.IntegerKeyword("FIRSTPIX").value_or(0);
    const int64_t nLastPixel = file.IntegerKeyword("LASTPIX").value_or(nPixels - 1);
    if (nFirstPixel != 0 || nLastPixel != nPixels - 1)
        file.Fail("its pixels run from FIRSTPIX " + std::to_string(nFirstPixel) + " to LASTPIX " +
                  std::to_string(nLastPixel) + ", not from 0 to 12 Nside^2 - 1 = " +
                  std::to_string(nPixels - 1) + ": partial-sky maps are not read");
}

}  // namespace

bool IsHealpixMapPath(const std::string& strPath)
{
    return HasExtension(strPath, ".fits");
}

HealpixMap ReadHealpixMapFile(const std::string& strPath, const std::vector<MapColumnChoice>& aChoices,
                              bool bFileOrder)
{
    CFitsFile file(strPath);
    file.MoveToTable(1);
    const std::optional<int64_t> nNside = file.IntegerKeyword("NSIDE");
    if (!nNside)
        file.Fail("the table states no NSIDE");
    HealpixMap map;
    map.nNside = *nNside;
    map.bNested = CheckHeader(file, map.nNside);
    const int64_t nPixels = 12 * map.nNside * map.nNside;

    std::vector<int> aColumns;
    aColumns.reserve(aChoices.size());
    for (const MapColumnChoice& choice : aChoices)
        aColumns.push_back(ChosenColumn(file, choice));
    if (aChoices.empty())
        for (size_t i = 0; i < file.GetColumns().size(); ++i)
            aColumns.push_back(static_cast<int>(i));
    if (aColumns.empty())
        file.Fail("the table has no columns");
    const bool bReorder = map.bNested && !bFileOrder;
    CheckWorkMemory(
        8.0 * static_cast<double>(nPixels) * static_cast<double>(aColumns.size() + (bReorder ? 1 : 0)),
        "reading the map of Nside " + std::to_string(map.nNside));

    for (const int nColumn : aColumns)
    {
        const FitsColumn& column = file.GetColumns()[static_cast<size_t>(nColumn)];
        const std::string strColumn = "column " + std::to_string(nColumn + 1) + " (" + column.strName + ")";
        if (NumericForm(column.nType) == 0)
            file.Fail(strColumn + " does not hold numbers");
        const double dValues = static_cast<double>(column.nRepeat) * static_cast<double>(file.GetRowCount());
        if (dValues != static_cast<double>(nPixels))
            file.Fail(strColumn + " holds " + std::to_string(static_cast<int64_t>(dValues)) +
                      " values, not the 12 Nside^2 = " + std::to_string(nPixels) + " of NSIDE " +
                      std::to_string(map.nNside));
    }
    CheckPixelRange(file, nPixels);

    std::vector<double> aFileOrder;
    for (const int nColumn : aColumns)
    {
        const FitsColumn& column = file.GetColumns()[static_cast<size_t>(nColumn)];
        HealpixMapColumn out{column.strName, column.strUnit, NumericForm(column.nType),
                             std::vector<double>(static_cast<size_t>(nPixels))};
        if (bReorder)
        {
            aFileOrder.resize(static_cast<size_t>(nPixels));
            file.ReadDoubles(nColumn, 0, nPixels, aFileOrder.data());
            NestedToRingMap(map.nNside, aFileOrder.data(), out.aValues.data());
        }
        else
            file.ReadDoubles(nColumn, 0, nPixels, out.aValues.data());
        map.aColumns.push_back(std::move(out));
    }
    if (bReorder)
        map.bNested = false;
    map.aHeader = file.Cards();
    return map;
}
