#include "bindings/convention_arguments.h"

#include <pybind11/pybind11.h>

Convention MakeConvention(const std::string& strNorm, bool bCondonShortley, const std::string& strSine)
{
    Convention convention;
    if (!FindNormalization(strNorm, convention.normalization))
        throw pybind11::value_error("norm needs ortho, 4pi, schmidt, unnorm, sn3d or n3d, not '" + strNorm +
                                    "'");
    if (strSine != "lobara" && strSine != "standard")
        throw pybind11::value_error("sine needs lobara or standard, not '" + strSine + "'");
    convention.bCondonShortley = bCondonShortley;
    convention.sine = strSine == "lobara" ? SineSign::kLobara : SineSign::kStandard;
    return convention;
}
