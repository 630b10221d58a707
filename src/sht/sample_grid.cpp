#include "sht/sample_grid.h"

#include <algorithm>

#include "names/named_values.h"
#include "sht/angles.h"
#include "sht/gauss_legendre.h"

namespace {

constexpr NamedValue<SampleGrid> kGridNames[] = {
    {"lobara", SampleGrid::kLobara,
     "NT rows theta = i pi / (NT - 1), both poles: the grid of --values; degrees up to NT - 2"},
    {"cells", SampleGrid::kCells, "theta = (i + 1/2) pi / NT; up to NT - 1"},
    {"dh", SampleGrid::kDh, "Driscoll-Healy, NP = 2 NT, theta = i pi / NT; up to NT - 1"},
    {"gl", SampleGrid::kGl, "Gauss-Legendre latitudes; up to NT - 1"},
};

}  // namespace

const char* SampleGridName(SampleGrid grid)
{
    return NameOf(kGridNames, grid);
}

bool FindSampleGrid(const std::string& strName, SampleGrid& grid)
{
    return FindNamed(kGridNames, strName, grid);
}

std::vector<std::string> SampleGridNames()
{
    return NamesOf(kGridNames);
}

NamedValues<SampleGrid> SampleGridNamedValues()
{
    return AllNamed(kGridNames);
}

std::vector<double> GridThetas(SampleGrid grid, int32_t nT)
{
    if (grid == SampleGrid::kGl)
        return MakeGaussLegendre(nT).aTheta;
    std::vector<double> aTheta(static_cast<size_t>(std::max(nT, 0)));
    for (int32_t i = 0; i < nT; ++i)
    {
        const double dI = static_cast<double>(i);
        aTheta[static_cast<size_t>(i)] = grid == SampleGrid::kLobara  ? SampleTheta(i, nT)
                                         : grid == SampleGrid::kCells ? ((dI + 0.5) / nT) * kPi
                                                                      : (dI / nT) * kPi;
    }
    return aTheta;
}

int32_t AnalysisLimit(SampleGrid grid, int32_t nT, int32_t nP)
{
    if (nT < 1 || nP < 1)
        return -1;
    const int32_t nTheta = grid == SampleGrid::kLobara ? nT - 2 : nT - 1;
    return std::min(nTheta, (nP - 1) / 2);
}

std::string GridShapeProblem(SampleGrid grid, int32_t nT, int32_t nP)
{
    if (grid == SampleGrid::kDh && int64_t{nP} != 2 * int64_t{nT})
        return "a Driscoll-Healy grid of " + std::to_string(nT) + " rings has " +
               std::to_string(2 * int64_t{nT}) + " values to a ring, not " + std::to_string(nP);
    return "";
}
