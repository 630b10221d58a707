#pragma once

#include <array>
#include <string>

#include "colour/field_coloring.h"
#include "hydrogen/orbital_values.h"
#include "mesh/surface_mesh.h"
#include "picture/picture.h"

// A flat picture of an orbital in a plane through the nucleus: psi or |psi|^2 at each pixel, in
// a square of the plane centred on the nucleus and as large as fits above the colour bar's strip.

// What a slice shows: psi (signed for a real orbital, its phase or modulus for a complex one) or
// |psi|^2.
using SliceQuantity = OrbitalQuantity;

// The plane by its normal, pointing to the viewer. The picture's right is U = V x N and its up
// V, the part of +z in the plane (+y where the plane is the xy plane).
struct SlicePlane
{
    std::array<double, 3> aNormal;
};

// The planes by name: "xz" seen from -y, "xy" from +z, "yz" from +x; false for another name.
bool FindSlicePlane(const std::string& strName, SlicePlane& plane);

// Why a normal cannot be used (not finite, or of no length), or empty.
std::string SlicePlaneError(const SlicePlane& plane);

// The quantity at the centre of each pixel of the nWidth x nMapHeight area, row by row from the
// top, the square of half width dHalfWidth (Bohr radii; HoldingRadius unless told) fitted to it:
// aRe, and for psi of a complex orbital aIm (empty otherwise). The pixels are shared among the
// cores, the progress told as SampleOrbitalAt tells it. Throws std::bad_alloc.
struct SliceSamples
{
    DoubleArray aRe;
    DoubleArray aIm;
};
SliceSamples SampleSlice(const HydrogenOrbital& orbital, const SlicePlane& plane, SliceQuantity quantity,
                         int nWidth, int nMapHeight, double dHalfWidth,
                         const PointProgress& onBlocks = nullptr);

// Whether every value of the slice lies below kNodalSlice of the orbital's largest |psi|, dPeak
// (of its square for |psi|^2): a plane where psi is 0, whose values are rounding alone.
bool IsNodalSlice(const SliceSamples& samples, SliceQuantity quantity, double dPeak);
constexpr double kNodalSlice = 1e-12;

// The picture of nWidth x nHeight: the samples of the top nMapHeight rows coloured, and under
// them, unless the colouring is by sign, the colour bar's strip with its bar, and a line for its
// caption where bCaption (see map_picture.h).
Picture MakeSlicePicture(const SliceSamples& samples, const FieldColoring& coloring, int nWidth, int nHeight,
                         Background background, bool bCaption);
