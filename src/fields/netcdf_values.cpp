#include "fields/netcdf_values.h"

#include <netcdf.h>
#include <netcdf_mem.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>
#include <optional>
#include <vector>

#include "fields/coefficient_input.h"

namespace {

// An open dataset, closed when it goes.
class CDataset
{
public:
    CDataset(const std::string& strPath, std::vector<unsigned char>& abFile) : m_strPath(strPath)
    {
        const int nStatus = nc_open_mem(strPath.c_str(), NC_NOWRITE, abFile.size(), abFile.data(), &m_nId);
        if (nStatus != NC_NOERR)
            Fail(std::string("not a netCDF file (") + nc_strerror(nStatus) + ")");
    }
    ~CDataset() { nc_close(m_nId); }
    CDataset(const CDataset&) = delete;
    CDataset& operator=(const CDataset&) = delete;

    [[noreturn]] void Fail(const std::string& strWhat) const { ThrowCoefficientError(m_strPath, 0, strWhat); }

    void Check(int nStatus, const std::string& strDoing) const
    {
        if (nStatus != NC_NOERR)
            Fail(strDoing + ": " + nc_strerror(nStatus));
    }

    int Id() const { return m_nId; }

    std::string VariableName(int nVar) const
    {
        char acName[NC_MAX_NAME + 1] = {};
        Check(nc_inq_varname(m_nId, nVar, acName), "cannot read a variable's name");
        return acName;
    }

    std::vector<int> Dimensions(int nVar) const
    {
        int nDims = 0;
        Check(nc_inq_varndims(m_nId, nVar, &nDims), "cannot read a variable's dimensions");
        std::vector<int> anDims(static_cast<size_t>(nDims));
        Check(nc_inq_vardimid(m_nId, nVar, anDims.data()), "cannot read a variable's dimensions");
        return anDims;
    }

    std::string DimensionName(int nDim) const
    {
        char acName[NC_MAX_NAME + 1] = {};
        Check(nc_inq_dimname(m_nId, nDim, acName), "cannot read a dimension's name");
        return acName;
    }

    size_t DimensionLength(int nDim) const
    {
        size_t n = 0;
        Check(nc_inq_dimlen(m_nId, nDim, &n), "cannot read a dimension's length");
        return n;
    }

    // A numeric attribute's first value; nullopt when there is none.
    std::optional<double> Attribute(int nVar, const char* pszName) const
    {
        size_t nLength = 0;
        nc_type type = NC_NAT;
        if (nc_inq_att(m_nId, nVar, pszName, &type, &nLength) != NC_NOERR || nLength == 0 ||
            type == NC_CHAR || type == NC_STRING)
            return std::nullopt;
        std::vector<double> a(nLength);
        Check(nc_get_att_double(m_nId, nVar, pszName, a.data()), std::string("cannot read ") + pszName);
        return a[0];
    }

private:
    std::string m_strPath;
    int m_nId = -1;
};

// A coordinate in a message, in any locale.
std::string Degrees(double d)
{
    char acText[32];
    const auto result = std::to_chars(acText, acText + sizeof acText, d);
    return std::string(acText, result.ptr);
}

bool IsLatitude(const std::string& strName)
{
    return strName == "lat" || strName == "latitude";
}

bool IsLongitude(const std::string& strName)
{
    return strName == "lon" || strName == "longitude";
}

// "a (time, lat, lon), b (x)": the variables and their dimensions.
std::string Contents(const CDataset& data)
{
    int nVars = 0;
    data.Check(nc_inq_nvars(data.Id(), &nVars), "cannot read the variables");
    std::string strText;
    for (int v = 0; v < nVars; ++v)
    {
        std::string strDims;
        for (const int nDim : data.Dimensions(v))
            strDims += (strDims.empty() ? "" : ", ") + data.DimensionName(nDim);
        strText += (strText.empty() ? "" : ", ") + data.VariableName(v) + " (" + strDims + ")";
    }
    return strText.empty() ? "no variables" : strText;
}

// Whether the variable lies on latitude and longitude: two such dimensions, the others of length 1.
bool OnLatitudeLongitude(const CDataset& data, int nVar)
{
    int nLat = 0, nLon = 0;
    for (const int nDim : data.Dimensions(nVar))
    {
        const std::string strName = data.DimensionName(nDim);
        if (IsLatitude(strName))
            ++nLat;
        else if (IsLongitude(strName))
            ++nLon;
        else if (data.DimensionLength(nDim) != 1)
            return false;
    }
    return nLat == 1 && nLon == 1;
}

int FindVariable(const CDataset& data, const std::string& strVariable)
{
    int nVar = -1;
    if (!strVariable.empty())
    {
        if (nc_inq_varid(data.Id(), strVariable.c_str(), &nVar) != NC_NOERR)
            data.Fail("there is no variable '" + strVariable + "'; the file holds " + Contents(data));
        if (!OnLatitudeLongitude(data, nVar))
            data.Fail("the variable '" + strVariable +
                      "' is not a single field on lat and lon; the file holds " + Contents(data));
        return nVar;
    }
    int nVars = 0;
    data.Check(nc_inq_nvars(data.Id(), &nVars), "cannot read the variables");
    std::vector<std::string> aFound;
    for (int v = 0; v < nVars; ++v)
        if (OnLatitudeLongitude(data, v))
        {
            nVar = v;
            aFound.push_back(data.VariableName(v));
        }
    if (aFound.empty())
        data.Fail("no variable is a field on lat and lon; the file holds " + Contents(data));
    if (aFound.size() > 1)
        data.Fail("several variables lie on lat and lon (" + aFound[0] + ", " + aFound[1] +
                  "...): name one with --variable");
    return nVar;
}

// The values of the coordinate variable of a dimension.
std::vector<double> Coordinates(const CDataset& data, int nDim)
{
    const std::string strName = data.DimensionName(nDim);
    int nVar = -1;
    if (nc_inq_varid(data.Id(), strName.c_str(), &nVar) != NC_NOERR ||
        data.Dimensions(nVar) != std::vector<int>{nDim})
        data.Fail("the dimension " + strName + " has no coordinate variable");
    std::vector<double> a(data.DimensionLength(nDim));
    data.Check(nc_get_var_double(data.Id(), nVar, a.data()), "cannot read the coordinates " + strName);
    return a;
}

std::vector<unsigned char> FileBytes(const std::string& strPath)
{
    const FilePointer pFile = OpenCoefficientFile(strPath);
    long nSize = -1;
    if (std::fseek(pFile.get(), 0, SEEK_END) == 0)
        nSize = std::ftell(pFile.get());
    if (nSize < 0 || std::fseek(pFile.get(), 0, SEEK_SET) != 0)
        ThrowCoefficientError(strPath, 0, "cannot find the size of the file");
    std::vector<unsigned char> abFile(static_cast<size_t>(nSize));
    if (std::fread(abFile.data(), 1, abFile.size(), pFile.get()) != abFile.size())
        ThrowCoefficientError(strPath, 0, "the file is cut short");
    return abFile;
}

}  // namespace

NetcdfGridValues ReadNetcdfValues(const std::string& strPath, const std::string& strVariable)
{
    std::vector<unsigned char> abFile = FileBytes(strPath);
    const CDataset data(strPath, abFile);
    NetcdfGridValues result;
    const int nVar = FindVariable(data, strVariable);
    result.strVariable = data.VariableName(nVar);
    int nLatDim = -1, nLonDim = -1;
    for (const int nDim : data.Dimensions(nVar))
    {
        if (IsLatitude(data.DimensionName(nDim)))
            nLatDim = nDim;
        if (IsLongitude(data.DimensionName(nDim)))
            nLonDim = nDim;
    }
    // The sizes are checked before anything is allocated for them.
    const size_t nLatitudes = data.DimensionLength(nLatDim), nLongitudes = data.DimensionLength(nLonDim);
    if (nLatitudes > std::numeric_limits<int32_t>::max() / std::max<size_t>(nLongitudes, 1))
        data.Fail("a grid of " + std::to_string(nLatitudes) + " x " + std::to_string(nLongitudes) +
                  " values is beyond 2^31 samples");
    const std::vector<double> aLatitude = Coordinates(data, nLatDim);
    const std::vector<double> aLongitude = Coordinates(data, nLonDim);
    GridCoordinates coordinates;
    const std::string strProblem = RecogniseGrid(aLatitude, aLongitude, coordinates);
    if (!strProblem.empty())
        data.Fail("the variable '" + result.strVariable + "': " + strProblem);
    const auto nT = static_cast<int32_t>(aLatitude.size()), nP = static_cast<int32_t>(aLongitude.size());
    std::vector<double> aGiven(static_cast<size_t>(nT) * static_cast<size_t>(nP));
    data.Check(nc_get_var_double(data.Id(), nVar, aGiven.data()),
               "cannot read the values of " + result.strVariable);
    // The file's order: latitude first unless longitude comes first among the dimensions.
    // The file's order: latitude first unless longitude comes first among the dimensions.
    bool bLatitudeFirst = true;
    for (const int nDim : data.Dimensions(nVar))
        if (nDim == nLonDim || nDim == nLatDim)
        {
            bLatitudeFirst = nDim == nLatDim;
            break;
        }
    const std::optional<double> dFill = data.Attribute(nVar, "_FillValue");
    const std::optional<double> dMissing = data.Attribute(nVar, "missing_value");
    const double dScale = data.Attribute(nVar, "scale_factor").value_or(1.0);
    const double dOffset = data.Attribute(nVar, "add_offset").value_or(0.0);
    result.grid = coordinates.grid;
    result.values.nT = nT;
    result.values.nP = nP;
    result.values.aValues.resize(aGiven.size());
    for (int32_t r = 0; r < nT; ++r)
        for (int32_t c = 0; c < nP; ++c)
        {
            const size_t k =
                bLatitudeFirst ? static_cast<size_t>(r) * nP + c : static_cast<size_t>(c) * nT + r;
            const double dValue = aGiven[k];
            if (!std::isfinite(dValue) || (dFill && dValue == *dFill) || (dMissing && dValue == *dMissing))
                data.Fail("the value of " + result.strVariable + " at lat " +
                          Degrees(aLatitude[static_cast<size_t>(r)]) + ", lon " +
                          Degrees(aLongitude[static_cast<size_t>(c)]) + " is missing or not finite");
            const int32_t i = coordinates.bSouthFirst ? nT - 1 - r : r;
            const int32_t j = static_cast<int32_t>((int64_t{c} + coordinates.nColumnShift) % nP);
            result.values.aValues[static_cast<size_t>(i) * nP + j] =
                dScale == 1.0 && dOffset == 0.0 ? dValue : dValue * dScale + dOffset;
        }
    return result;
}
