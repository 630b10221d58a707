#pragma once

#include "names/named_values.h"

// The fields of a polarised HEALPix set in healpy's order: T, the temperature (the map I), then
// E and B, the gradient and curl coefficients of the spin-2 field Q + i U.
enum class PolarisedComponent
{
    kT,
    kE,
    kB,
};

// The names as options spell them: "T", "E", "B".
NamedValues<PolarisedComponent> PolarisedComponentNamedValues();
