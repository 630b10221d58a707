#pragma once

#include <cstdint>
#include <memory>
#include <new>
#include <string>

// The highest degree built. Showing Y(l, m) takes more than l rows and 2l columns (two samples
// to each lobe along a meridian and along the equator), so no grid of at most 2^31 - 1 points
// shows a degree above 2^15; the evaluation is measured accurate to about 1e-12 of max|Y| up to
// there.
constexpr int32_t kMaxDegree = 32768;

// Throws SurfaceTooLarge for a degree above kMaxDegree.
void CheckDegree(int64_t l);

// Raised, before any array of the mesh is touched, for a build that cannot be done in 32-bit
// array lengths or in the machine's memory, or (in the viewer) not without freezing its window. It is an
// out-of-memory failure, so whoever handles running out of memory handles this too.
class SurfaceTooLarge : public std::bad_alloc
{
public:
    explicit SurfaceTooLarge(const char* pszReason) : m_pszReason(pszReason) {}
    const char* what() const noexcept override { return m_pszReason; }

private:
    const char* m_pszReason;
};

// The memory a build, or a reader of coefficients, may take: half of the machine's.
int64_t MemoryBudget();

// Raised before the big arrays of some work (a fit, a slice, a reader) are allocated, when they
// would need more than MemoryBudget(): an out-of-memory failure whose what() is one line naming
// the work, what it needs and the limit.
class WorkTooLarge : public std::bad_alloc
{
public:
    explicit WorkTooLarge(const std::string& strReason)
        : m_pReason(std::make_shared<const std::string>(strReason))
    {}
    const char* what() const noexcept override { return m_pReason->c_str(); }

private:
    std::shared_ptr<const std::string> m_pReason;  // shared, so that copies never throw
};

// Throws WorkTooLarge("WORK needs N MB, more than the M MB this machine gives to one run") when
// dBytes is above MemoryBudget().
void CheckWorkMemory(double dBytes, const std::string& strWork);

// The shape of one build. Counts that leave no grid (a count of 0 or less) give no vertices
// and no faces; a single row gives vertices but no faces.
struct SurfacePlan
{
    int32_t nRows;      // theta samples actually taken
    int32_t nColumns;   // phi samples actually taken
    int32_t nVertices;  // nRows * nColumns
    int32_t nFaces;     // (nRows - 1) * nColumns
};

// The counts of an nT x nP grid in 64 bits, so no product can overflow. Negative counts, or a
// zero count, leave no grid: the mesh is empty.
struct GridCounts
{
    int64_t nRows, nColumns, nVertices, nFaces;
};
GridCounts CountGrid(int32_t nT, int32_t nP);

// Works out the counts of a build of Y(l, m) on nT x nP samples and checks that it fits in
// 32-bit lengths and in memory. Throws SurfaceTooLarge when it does not. Slowness is no reason
// to refuse here: that is for a caller who must stay responsive to decide.
SurfacePlan PlanSurface(int32_t l, int32_t m, int32_t nT, int32_t nP);
