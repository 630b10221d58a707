// Reads any text as a rotation: the reader may refuse it with std::invalid_argument and nothing
// else, and what it accepts is a rotation, its matrix finite and orthonormal with determinant 1.
#include <cmath>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <vector>

#include "fuzz_text.h"
#include "sht/rotation_text.h"

namespace {

void CheckRotation(const Rotation& rotation)
{
    const auto& r = rotation.r;
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
        {
            double dDot = 0.0;
            for (int k = 0; k < 3; ++k)
                dDot += r[i][k] * r[j][k];
            if (!(std::fabs(dDot - (i == j ? 1.0 : 0.0)) < 1e-12))
                std::abort();
        }
    const double dDeterminant = r[0][0] * (r[1][1] * r[2][2] - r[1][2] * r[2][1]) -
                                r[0][1] * (r[1][0] * r[2][2] - r[1][2] * r[2][0]) +
                                r[0][2] * (r[1][0] * r[2][1] - r[1][1] * r[2][0]);
    if (!(std::fabs(dDeterminant - 1.0) < 1e-12))
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    const std::string strText = FuzzBytes(pData, nSize);
    try
    {
        CheckRotation(ParseRotation(strText));
    }
    catch (const std::invalid_argument&)
    {}
    // The same text as a list of rotations, split at each newline.
    std::vector<std::string> aTexts(1);
    for (const char c : strText)
        if (c == '\n')
            aTexts.emplace_back();
        else
            aTexts.back().push_back(c);
    try
    {
        CheckRotation(ParseRotations(aTexts));
    }
    catch (const std::invalid_argument&)
    {}
    return 0;
}
