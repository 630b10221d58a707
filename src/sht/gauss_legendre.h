#pragma once

#include <cstdint>
#include <vector>

// The n-point Gauss-Legendre rule on the sphere's colatitude: theta of each node from the north
// pole southwards (cos theta the zeros of P_n) and its weight, so that the sum of w_i g(cos theta_i)
// is the integral of g over [-1, 1] for every polynomial g of degree below 2n.
struct GaussLegendre
{
    std::vector<double> aTheta;
    std::vector<double> aWeight;
};

// n >= 1. The nodes are found by Newton's method in theta, on the program's normalised Legendre
// recurrence, to the last bits; the rule is symmetric about the equator by construction.
GaussLegendre MakeGaussLegendre(int32_t n);
