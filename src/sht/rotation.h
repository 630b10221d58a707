#pragma once

#include <array>

// A rotation of space as its 3x3 matrix: the point x goes to R x. Turning a field by R is the
// active rotation f_R(x) = f(R^-1 x): what lay at x now lies at R x. Axes are right-handed and
// every angle is counter-clockwise seen from the positive end of its axis.
struct Rotation
{
    std::array<std::array<double, 3>, 3> r = {{{1.0, 0.0, 0.0}, {0.0, 1.0, 0.0}, {0.0, 0.0, 1.0}}};
};

bool IsIdentity(const Rotation& rotation);

// About the axis (x, y, z), finite and not 0 but of any length, by dDegrees (Rodrigues' formula). Multiples
// of 90 degrees give their sines and cosines exactly, so that a whole turn is the identity to the last bit.
Rotation RotationAboutAxis(const std::array<double, 3>& axis, double dDegrees);
// About a coordinate axis.
Rotation RotationAboutX(double dDegrees);
Rotation RotationAboutY(double dDegrees);
Rotation RotationAboutZ(double dDegrees);

// The rotation of a 3x3 matrix, rows first, as other libraries give one (healpy's Rotator.mat,
// SciPy's Rotation.as_matrix()): x goes to R x. Throws std::invalid_argument with one line for a
// matrix with an entry that is not finite, one that is not orthogonal (R^T R differs from the
// identity by more than kRotationMatrixTolerance in an entry) or a reflection (determinant -1).
constexpr double kRotationMatrixTolerance = 1e-9;
Rotation RotationFromMatrix(const std::array<std::array<double, 3>, 3>& r);

// first, then second: second * first.
Rotation Then(const Rotation& first, const Rotation& second);
Rotation Inverse(const Rotation& rotation);
std::array<double, 3> Apply(const Rotation& rotation, const std::array<double, 3>& x);

// The Euler angles in radians of R = Rz(alpha) Ry(beta) Rz(gamma), beta in [0, pi]. Where beta
// is 0 or pi only alpha + gamma or alpha - gamma is defined: gamma is then taken from the
// matrix given alpha, so that the angles rebuild R to rounding whatever beta is.
struct EulerAngles
{
    double dAlpha;
    double dBeta;
    double dGamma;
};
EulerAngles ZyzAngles(const Rotation& rotation);
