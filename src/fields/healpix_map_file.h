#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// A HEALPix map of one or more columns, as FITS files hold them: a binary table with PIXTYPE
// HEALPIX, NSIDE, ORDERING RING or NESTED and INDXSCHM IMPLICIT, each column the 12 Nside^2
// values of one map (I, Q and U of a polarised one), in rows of any length (healpy writes 1024).
struct HealpixMapColumn
{
    std::string strName;
    std::string strUnit;  // empty without TUNIT
    char cForm = 'D';     // the values' type in the file, as TFORM spells it: E float32, D float64,
                          // B, I, J, K integers of 8 to 64 bits
    std::vector<double> aValues;
};

struct HealpixMap
{
    int64_t nNside = 0;
    bool bNested = false;  // the order of the columns' values
    std::vector<HealpixMapColumn> aColumns;
    // The table's header, each card's keyword and value text ('quoted' for strings).
    std::vector<std::pair<std::string, std::string>> aHeader;
};

// A column of a map file chosen by its place (0 the first) or, where strName is not empty, by
// its name (the case of ASCII letters aside).
struct MapColumnChoice
{
    int nIndex = 0;
    std::string strName;
};

// The pixels' values are those of the file, UNSEEN (-1.6375e30) and NaN included; each value
// of a float32 column is the double of the same value.
constexpr double kUnseen = -1.6375e30;

// Whether a values file named strPath is a HEALPix map: a name ending in .fits.
bool IsHealpixMapPath(const std::string& strPath);

// Reads the map in the first extension of the FITS file strPath: the chosen columns in their
// order (all when aChoices is empty), in RING order (a NESTED file's reordered), or in the file's
// own order when bFileOrder. Throws std::runtime_error with one line naming the file and the
// fault: no FITS file, no binary table, a truncated table, NSIDE missing or not a whole number
// from 1 to 2^29 (a power of 2 for NESTED), an ORDERING other than RING or NESTED, a partial-sky
// map (INDXSCHM EXPLICIT, OBJECT PARTIAL, FIRSTPIX or LASTPIX not the first and last pixel), a
// PIXTYPE other than HEALPIX, a column missing, not numeric or not 12 Nside^2 values long, or
// more values than this machine gives to one run.
HealpixMap ReadHealpixMapFile(const std::string& strPath, const std::vector<MapColumnChoice>& aChoices = {},
                              bool bFileOrder = false);
