#pragma once

#include <initializer_list>
#include <vector>

#include "sht/polynomial.h"

inline Polynomial MakePolynomial(std::initializer_list<double> coefficients)
{
    Polynomial p;
    p.SetSize(static_cast<int32_t>(coefficients.size()));
    int32_t i = 0;
    for (double c : coefficients)
        p[i++] = c;
    return p;
}

inline std::vector<double> Coefficients(const Polynomial& p)
{
    return std::vector<double>(p.GetData(), p.GetData() + p.GetSize());
}
