#include "sht/build_limits.h"

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <string>

namespace {

constexpr int64_t kMaxLength = std::numeric_limits<int32_t>::max();

// Bytes that stay with each vertex: x, y, z and the signed value.
constexpr int64_t kVertexBytes = 3 * sizeof(float) + sizeof(double);
// A face's four vertex indices.
constexpr int64_t kQuadBytes = 4 * sizeof(int32_t);
// Bytes per face while building: both face lists are sized for every face before sorting.
constexpr int64_t kFaceBytes = 2 * (kQuadBytes + 3 * sizeof(float));
// Per-row tables, with the recurrence's copies of x, sin(theta) and the values.
constexpr int64_t kRowBytes = 7 * sizeof(double);
// Per-column tables: cos, sin and A of phi; one row of faces and their signs.
constexpr int64_t kColumnBytes = 3 * sizeof(double) + kQuadBytes + 3 * sizeof(float) + 1;
// The three polynomials of the power basis, or the recurrence's three coefficients per step.
constexpr int64_t kCoefficientBytes = 3 * sizeof(double);

}  // namespace

void CheckDegree(int64_t l)
{
    static const std::string kMessage =
        "the degree is above " + std::to_string(kMaxDegree) + ", finer than any sample grid can show";
    if (l > kMaxDegree)
        throw SurfaceTooLarge(kMessage.c_str());
}

GridCounts CountGrid(int32_t nT, int32_t nP)
{
    const bool bGrid = nT > 0 && nP > 0;
    const int64_t nRows = bGrid ? nT : 0;
    const int64_t nColumns = bGrid ? nP : 0;
    return GridCounts{nRows, nColumns, nRows * nColumns, std::max<int64_t>(nRows - 1, 0) * nColumns};
}

SurfacePlan PlanSurface(int32_t l, int32_t /*m: neither counts nor memory depend on it*/, int32_t nT,
                        int32_t nP)
{
    CheckDegree(l);

    const auto [nRows, nColumns, nVertices, nFaces] = CountGrid(nT, nP);
    if (nVertices > kMaxLength)
        throw SurfaceTooLarge("the sample grid has more than 2147483647 points");

    const int64_t nCoefficients = std::max<int64_t>(l, -1) + 1;
    const int64_t nBytes = nVertices * kVertexBytes + nFaces * kFaceBytes + nRows * kRowBytes +
                           nColumns * kColumnBytes + nCoefficients * kCoefficientBytes;
    if (nBytes > MemoryBudget())
        throw SurfaceTooLarge("the surface needs more memory than this machine can give it");

    return SurfacePlan{static_cast<int32_t>(nRows), static_cast<int32_t>(nColumns),
                       static_cast<int32_t>(nVertices), static_cast<int32_t>(nFaces)};
}

int64_t MemoryBudget()
{
    const long nPages = sysconf(_SC_PHYS_PAGES);
    const long nPageSize = sysconf(_SC_PAGESIZE);
    if (nPages <= 0 || nPageSize <= 0)
        return int64_t{1} << 31;
    return static_cast<int64_t>(nPages) / 2 * nPageSize;
}

void CheckWorkMemory(double dBytes, const std::string& strWork)
{
    const int64_t nBudget = MemoryBudget();
    if (!(dBytes <= static_cast<double>(nBudget)))
        throw WorkTooLarge(strWork + " needs " +
                           std::to_string(static_cast<int64_t>(std::min(dBytes, 9e18) / 1e6)) +
                           " MB, more than the " + std::to_string(nBudget / 1000000) +
                           " MB (half of the memory) this machine gives to one run");
}
