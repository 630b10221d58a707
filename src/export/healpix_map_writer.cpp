#include "export/healpix_map_writer.h"

#include <stdexcept>
#include <string>
#include <vector>

#include "export/fits_writer.h"
#include "healpix/pixel_order.h"

namespace {

// The values of a row, as healpy writes maps longer than this.
constexpr int64_t kRowValues = 1024;

// Whether text can stand in a FITS header: printable ASCII, at most 68 characters.
bool IsHeaderText(const std::string& strText)
{
    if (strText.size() > 68)
        return false;
    for (const char c : strText)
        if (c < ' ' || c > '~')
            return false;
    return true;
}

}  // namespace

void WriteHealpixMap(COutputStream& stream, const HealpixMap& map)
{
    if (map.bNested ? !IsNestedNside(map.nNside) : map.nNside < 1 || map.nNside > kMaxNside)
        throw std::invalid_argument(
            "Nside " + std::to_string(map.nNside) + " is not " +
            (map.bNested ? "a power of 2 from 1 to 2^29" : "a whole number from 1 to 2^29"));
    const int64_t nPixels = 12 * map.nNside * map.nNside;
    if (map.aColumns.empty())
        throw std::invalid_argument("a map file needs at least one column");
    const int64_t nRowValues = nPixels > kRowValues ? kRowValues : 1;
    std::vector<FitsColumnForm> aForms;
    for (const HealpixMapColumn& column : map.aColumns)
    {
        if (static_cast<int64_t>(column.aValues.size()) != nPixels)
            throw std::invalid_argument("a map of Nside " + std::to_string(map.nNside) +
                                        " has 12 Nside^2 = " + std::to_string(nPixels) + " pixels, not " +
                                        std::to_string(column.aValues.size()));
        if (column.strName.empty() || !IsHeaderText(column.strName) || !IsHeaderText(column.strUnit))
            throw std::invalid_argument(
                "a column's name and unit must be printable ASCII of at most 68 "
                "characters, and the name not empty");
        aForms.push_back(FitsColumnForm{
            column.strName,
            (nRowValues > 1 ? std::to_string(nRowValues) : std::string()) + (column.cForm == 'E' ? "E" : "D"),
            column.strUnit});
    }
    CFitsWriter writer(stream.GetName());
    writer.AddTable(aForms, nPixels / nRowValues, "xtension");
    writer.StringKey("PIXTYPE", "HEALPIX", "HEALPIX pixelisation");
    writer.StringKey("ORDERING", map.bNested ? "NESTED" : "RING",
                     "Pixel ordering scheme, either RING or NESTED");
    writer.IntegerKey("NSIDE", map.nNside, "Resolution parameter of HEALPIX");
    writer.IntegerKey("FIRSTPIX", 0, "First pixel # (0 based)");
    writer.IntegerKey("LASTPIX", nPixels - 1, "Last pixel # (0 based)");
    writer.StringKey("INDXSCHM", "IMPLICIT", "Indexing: IMPLICIT or EXPLICIT");
    writer.StringKey("OBJECT", "FULLSKY", "Sky coverage, either FULLSKY or PARTIAL");
    for (size_t i = 0; i < map.aColumns.size(); ++i)
        writer.WriteDoubles(static_cast<int>(i), 0, nPixels, map.aColumns[i].aValues.data());
    writer.WriteTo(stream);
}
