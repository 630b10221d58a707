#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "sht/convention.h"
#include "sht/field.h"

// The real orbitals by their chemists' names. Each pure orbital is the unit real harmonic that
// is positive where its polynomial is (p_x > 0 at +x, d_xy > 0 at phi = 45 degrees on the
// equator): in the program's own harmonics, +Y(l, m) for m >= 0 and -Y(l, m) for m < 0 (their
// sine is -sin), and in another convention whatever factor ConventionFactor says.
//   l = 0  s
//   l = 1  p_y (m = -1), p_z (0), p_x (1)
//   l = 2  d_xy (-2), d_yz (-1), d_z2 (0), d_xz (1), d_x2-y2 (2)
//   l = 3  f_y(3x2-y2) (-3), f_xyz (-2), f_yz2 (-1), f_z3 (0), f_xz2 (1), f_z(x2-y2) (2),
//          f_x(x2-3y2) (3)
// A hybrid along the unit direction u is a0 s + a1 P1(u) + a2 P2(u), where Pl(u) is the
// combination of the degree-l orbitals that points along u (sum of Y(l, m)(u) Y(l, m), over
// its length), with
//   sp     a = (1/sqrt2, 1/sqrt2)             members 1, 2: +z, -z
//   sp2    a = (1/sqrt3, sqrt(2/3))           members 1, 2, 3: +x, then 120 and 240 degrees on
//                                             the equator
//   sp3    a = (1/2, sqrt3/2)                 members 1 .. 4: (1,1,1), (1,-1,-1), (-1,1,-1),
//                                             (-1,-1,1), over sqrt3
//   sp3d   axial a = (0, 1/sqrt2, 1/sqrt2)    members 1, 2: +z, -z
//          equatorial a = (1/sqrt3, sqrt(2/3)) members 3, 4, 5: +x, 120, 240 degrees
//   sp3d2  a = (1/sqrt6, 1/sqrt2, 1/sqrt3)    members 1 .. 6: +z, -z, +x, -x, +y, -y
// "sp3" is member 1, "sp3:2" member 2.

// The field of the orbital named strName, in the convention; false when no orbital has that
// name. Names are as above; the digits of the d and f names may also be written ² and ³, and
// their minus sign −.
bool FindOrbital(const std::string& strName, const Convention& convention, Field& field);

// The names FindOrbital knows, comma-separated, for messages and help.
std::string OrbitalNames();

// Every name FindOrbital knows in its plain spelling, each member of a hybrid set by itself:
// "s", ..., "sp3" (member 1), "sp3:2", ...
std::vector<std::string> OrbitalNameList();

// The orbital that Y(l, m) of the convention is, or the negative of, for l <= 3: its name as
// typed ("d_x2-y2"), its Cartesian polynomial in the same letters ("x2-y2", digits after a letter
// powers) and whether Y(l, m) is its negative.
struct OrbitalOfHarmonic
{
    std::string strName;
    std::string strPolynomial;
    bool bNegative = false;
};
// False for l > 3, l < 0 or |m| > l.
bool FindOrbitalOfHarmonic(int32_t l, int32_t m, const Convention& convention, OrbitalOfHarmonic& orbital);
