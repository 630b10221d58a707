#include "hydrogen/orbital_slice.h"

#include <algorithm>
#include <cmath>

#include "colour/color_bar.h"
#include "maps/map_picture.h"

namespace {

using Vector = std::array<double, 3>;

Vector Cross(const Vector& a, const Vector& b)
{
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}

double Length(const Vector& a)
{
    return std::sqrt(a[0] * a[0] + a[1] * a[1] + a[2] * a[2]);
}

Vector Unit(const Vector& a)
{
    const double d = Length(a);
    return {a[0] / d, a[1] / d, a[2] / d};
}

// The part of the axis in the plane of the unit normal n.
Vector InPlane(const Vector& axis, const Vector& n)
{
    const double d = axis[0] * n[0] + axis[1] * n[1] + axis[2] * n[2];
    return {axis[0] - d * n[0], axis[1] - d * n[1], axis[2] - d * n[2]};
}

}  // namespace

bool FindSlicePlane(const std::string& strName, SlicePlane& plane)
{
    if (strName == "xz")
        plane.aNormal = {0.0, -1.0, 0.0};
    else if (strName == "xy")
        plane.aNormal = {0.0, 0.0, 1.0};
    else if (strName == "yz")
        plane.aNormal = {1.0, 0.0, 0.0};
    else
        return false;
    return true;
}

std::string SlicePlaneError(const SlicePlane& plane)
{
    const double d = Length(plane.aNormal);
    if (!std::isfinite(d) || !(d > 0.0))
        return "the slice's normal must be a finite vector of some length";
    return {};
}

SliceSamples SampleSlice(const HydrogenOrbital& orbital, const SlicePlane& plane, SliceQuantity quantity,
                         int nWidth, int nMapHeight, double dHalfWidth, const PointProgress& onBlocks)
{
    const Vector n = Unit(plane.aNormal);
    Vector up = InPlane({0.0, 0.0, 1.0}, n);
    if (Length(up) < 1e-6)
        up = InPlane({0.0, 1.0, 0.0}, n);
    const Vector v = Unit(up);
    const Vector u = Cross(v, n);
    // Bohr radii per pixel: the square's side over the area's shorter side.
    const double dPixel = 2.0 * dHalfWidth / std::max(1, std::min(nWidth, nMapHeight));
    const size_t nColumns = static_cast<size_t>(std::max(nWidth, 1));
    const OrbitalSamples values = SampleOrbitalAt(
        orbital, static_cast<size_t>(nWidth) * static_cast<size_t>(nMapHeight),
        [&](size_t k) {
            const size_t nRow = k / nColumns;
            const double x = static_cast<double>(k % nColumns), y = static_cast<double>(nRow);
            const double a = (x + 0.5 - 0.5 * nWidth) * dPixel, b = (0.5 * nMapHeight - y - 0.5) * dPixel;
            return Vector{a * u[0] + b * v[0], a * u[1] + b * v[1], a * u[2] + b * v[2]};
        },
        quantity, 0, onBlocks);
    SliceSamples samples;
    const auto nSamples = static_cast<int32_t>(values.aRe.size());
    samples.aRe.SetSizeForOverwrite(nSamples);
    std::copy(values.aRe.begin(), values.aRe.end(), samples.aRe.GetData());
    if (!values.aIm.empty())
    {
        samples.aIm.SetSizeForOverwrite(nSamples);
        std::copy(values.aIm.begin(), values.aIm.end(), samples.aIm.GetData());
    }
    return samples;
}

bool IsNodalSlice(const SliceSamples& samples, SliceQuantity quantity, double dPeak)
{
    const double dBound = quantity == SliceQuantity::kDensity ? (kNodalSlice * dPeak) * (kNodalSlice * dPeak)
                                                              : kNodalSlice * dPeak;
    for (const DoubleArray* pValues : {&samples.aRe, &samples.aIm})
        for (int32_t k = 0; k < pValues->GetSize(); ++k)
            if (!(std::fabs((*pValues)[k]) < dBound))
                return false;
    return true;
}

Picture MakeSlicePicture(const SliceSamples& samples, const FieldColoring& coloring, int nWidth, int nHeight,
                         Background background, bool bCaption)
{
    Picture picture{nWidth, nHeight, background == Background::kTransparent, {}};
    const std::array<uint8_t, 4> anBackground = BackgroundPixel(background);
    picture.aRgba.resize(static_cast<size_t>(nWidth) * static_cast<size_t>(nHeight) * 4);
    for (size_t k = 0; k < picture.aRgba.size(); k += 4)
        std::copy(anBackground.begin(), anBackground.end(),
                  picture.aRgba.begin() + static_cast<ptrdiff_t>(k));
    const int nStrip = ColorBarStripHeight(coloring.mode, nWidth, nHeight, bCaption);
    const bool bComplex = samples.aIm.GetSize() > 0;
    const int32_t nSamples = samples.aRe.GetSize();
    for (int32_t k = 0; k < nSamples; ++k)
    {
        const Rgb8 rgb = ColorOf(coloring, samples.aRe[k], bComplex ? samples.aIm[k] : 0.0);
        uint8_t* p = &picture.aRgba[static_cast<size_t>(k) * 4];
        p[0] = rgb[0];
        p[1] = rgb[1];
        p[2] = rgb[2];
        p[3] = 255;
    }
    if (nStrip > 0)
        DrawColorBar(LayOutColorBar(nWidth, nHeight - nStrip, nStrip, bCaption), coloring, background,
                     picture);
    return picture;
}
