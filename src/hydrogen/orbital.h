#pragma once

#include "hydrogen/radial_function.h"
#include "sht/complex_field.h"
#include "sht/convention.h"
#include "sht/field.h"

// One orbital of the hydrogen-like atom: psi = R(n, l) Y(l, m), Y the real harmonic of the
// convention or, with bComplex, the complex one N P_l^|m|(cos theta) e^(i m phi). The orbital is
// normalised whatever the convention's normalisation (the integral of |psi|^2 is 1): the
// convention sets only its sign (the sine's sign, the Condon-Shortley phase).
struct HydrogenOrbital
{
    OrbitalNumbers numbers;
    Convention convention;
    bool bComplex = false;
    bool bNegative = false;  // -psi: an orbital named for its polynomial where Y(l, m) has the other sign
};

// The angular part of a real orbital as a field: Y(l, m) normalised to 1, signed as the
// convention signs it (and turned over for bNegative).
Field OrbitalAngularField(const HydrogenOrbital& orbital);

// The angular part of a complex orbital, its real and imaginary parts.
ComplexField OrbitalAngularParts(const HydrogenOrbital& orbital);
