#include "export/netcdf_writer.h"

#include <netcdf.h>
#include <netcdf_mem.h>

#include <cstdlib>
#include <memory>
#include <stdexcept>

namespace {

class CNetcdfMemory
{
public:
    explicit CNetcdfMemory(std::string strName) : m_strName(std::move(strName))
    {
        Check(nc_create_mem(m_strName.c_str(), NC_NETCDF4 | NC_CLOBBER, 1 << 16, &m_nId));
        m_bOpen = true;
    }
    ~CNetcdfMemory()
    {
        if (!m_bOpen)
            return;
        NC_memio memory{};
        if (nc_close_memio(m_nId, &memory) == NC_NOERR)
            std::free(memory.memory);
    }
    CNetcdfMemory(const CNetcdfMemory&) = delete;
    CNetcdfMemory& operator=(const CNetcdfMemory&) = delete;

    void Check(int nStatus) const
    {
        if (nStatus != NC_NOERR)
            throw std::runtime_error("cannot write '" + m_strName + "': " + nc_strerror(nStatus));
    }

    int Id() const { return m_nId; }

    void Text(int nVar, const char* pszName, const std::string& strValue) const
    {
        Check(nc_put_att_text(m_nId, nVar, pszName, strValue.size(), strValue.data()));
    }

    // The file's bytes; the dataset is closed.
    std::unique_ptr<void, decltype(&std::free)> Close(size_t& nSize)
    {
        NC_memio memory{};
        m_bOpen = false;
        Check(nc_close_memio(m_nId, &memory));
        nSize = memory.size;
        return {memory.memory, &std::free};
    }

private:
    std::string m_strName;
    int m_nId = -1;
    bool m_bOpen = false;
};

int DefineCoordinate(const CNetcdfMemory& file, const char* pszName, size_t nLength, const char* pszUnits,
                     const char* pszStandard, const char* pszAxis, int& nDim)
{
    int nVar = -1;
    file.Check(nc_def_dim(file.Id(), pszName, nLength, &nDim));
    file.Check(nc_def_var(file.Id(), pszName, NC_DOUBLE, 1, &nDim, &nVar));
    file.Text(nVar, "units", pszUnits);
    file.Text(nVar, "standard_name", pszStandard);
    file.Text(nVar, "long_name", pszStandard);
    file.Text(nVar, "axis", pszAxis);
    return nVar;
}

}  // namespace

void WriteNetcdfValues(COutputStream& stream, const double* pValues, const NetcdfGrid& grid)
{
    CNetcdfMemory file(stream.GetName());
    int anDims[2] = {-1, -1};
    const int nLat =
        DefineCoordinate(file, "lat", grid.aLatitude.size(), "degrees_north", "latitude", "Y", anDims[0]);
    const int nLon =
        DefineCoordinate(file, "lon", grid.aLongitude.size(), "degrees_east", "longitude", "X", anDims[1]);
    int nVar = -1;
    file.Check(nc_def_var(file.Id(), grid.strName.c_str(), NC_DOUBLE, 2, anDims, &nVar));
    file.Text(nVar, "long_name", grid.strLongName);
    if (!grid.strUnits.empty())
        file.Text(nVar, "units", grid.strUnits);
    file.Text(nVar, "grid", grid.strGridKind);
    file.Text(NC_GLOBAL, "Conventions", "CF-1.8");
    file.Text(NC_GLOBAL, "source", "lobara-render");
    file.Check(nc_enddef(file.Id()));
    file.Check(nc_put_var_double(file.Id(), nLat, grid.aLatitude.data()));
    file.Check(nc_put_var_double(file.Id(), nLon, grid.aLongitude.data()));
    if (!grid.aLatitude.empty() && !grid.aLongitude.empty())
        file.Check(nc_put_var_double(file.Id(), nVar, pValues));
    size_t nSize = 0;
    const auto pBytes = file.Close(nSize);
    stream.Write(pBytes.get(), nSize);
}
