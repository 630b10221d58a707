#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "export/output_files.h"
#include "hydrogen/orbital_values.h"
#include "jobs/run_hooks.h"

// The values of a hydrogen-like orbital that a run writes besides its surface or instead of it:
// psi, or |psi|^2, at points (x, y, z in Bohr radii, one line each: the value, or the real and
// imaginary parts of a complex orbital's psi), and on the box that holds 99.9 % of it
// (OrbitalBoxOf) with nBoxSide points a side, the third axis fastest: as a values file (raw
// little-endian doubles, a NumPy array of shape (N, N, N) or CSV rows x,y,z,value, by its name)
// and as a Gaussian cube file, which holds real values only.
struct OrbitalValuesJob
{
    std::vector<std::array<double, 3>> aAt;
    std::string strValuesPath;
    std::string strCubePath;
    int32_t nBoxSide = kDefaultBoxSide;
    OrbitalQuantity quantity = OrbitalQuantity::kPsi;
};

// Whether the job asks for any value.
bool AsksForOrbitalValues(const OrbitalValuesJob& values);

// Why the values cannot be given, in one line (a side beyond the limits, psi of a complex orbital
// in a cube file, a point not finite), or empty.
std::string OrbitalValuesError(const HydrogenOrbital& orbital, const OrbitalValuesJob& values);

// The points' lines, and the box's files written into outputs (not committed), telling the
// progress of the box's sampling through the hooks. The values must be valid.
std::string WriteOrbitalValues(const HydrogenOrbital& orbital, const OrbitalValuesJob& values,
                               COutputSet& outputs, IRunHooks& hooks);

// A run of the values alone: prints the points' lines and writes the files all or nothing.
// Throws RequestError for values that cannot be given, and as the other runs (runs.h).
void RunOrbitalValues(const HydrogenOrbital& orbital, const OrbitalValuesJob& values, IRunHooks& hooks);
