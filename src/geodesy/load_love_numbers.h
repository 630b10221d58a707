#pragma once

#include <cstdint>

// The elastic load Love number k'_l of the gravitational potential, from the table of Wahr,
// Molenaar and Bryan (1998, J. Geophys. Res. 103(B12), 30205-30229, Table 1), computed by Han
// and Wahr (1995) for the Earth model PREM (in the frame of the centre of figure): linearly
// interpolated between the tabulated degrees, as the paper says to, and beyond its last degree
// 200 continued as k'_200 * 200 / l, the 1 / l fall of the loading Love numbers at high degree
// (the table's own k'_100 * 100, k'_150 * 150 and k'_200 * 200 agree to 7 %).
double LoadLoveNumber(int32_t l);

// The factor of degree l that turns a fully normalised coefficient of the potential (a change of
// the gravity field) into one of the equivalent water height in metres on a sphere of radius a
// (m), Wahr et al. (1998) eq. 14 over the density of water:
//   a rho_e / (3 rho_w) (2l + 1) / (1 + k'_l),  rho_e = 5517 kg/m^3 (the Earth's mean density, as
// the paper takes it), rho_w = 1000 kg/m^3.
double WaterHeightFactor(int32_t l, double a);
