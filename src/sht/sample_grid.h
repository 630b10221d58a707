#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "names/named_values.h"

// The layouts of sampled values that analysis reads: nT rings of theta from the north pole
// southwards, each of nP values at phi_j = 2 pi j / nP.
//   lobara  theta_i = i pi / (nT - 1), both poles: the grid of the program's own values
//           (Clenshaw-Curtis nodes)
//   cells   theta_i = (i + 1/2) pi / nT, the centres of equal cells (Fejer's first rule)
//   dh      theta_i = i pi / nT with nP = 2 nT, the north pole and no south pole (Driscoll-Healy)
//   gl      the zeros of P_nT (Gauss-Legendre)
enum class SampleGrid
{
    kLobara,
    kCells,
    kDh,
    kGl,
};

// The names as options spell them: "lobara", "cells", "dh", "gl"; false when there is no grid of
// that name.
const char* SampleGridName(SampleGrid grid);
bool FindSampleGrid(const std::string& strName, SampleGrid& grid);
std::vector<std::string> SampleGridNames();
NamedValues<SampleGrid> SampleGridNamedValues();

// theta of each of the nT rings.
std::vector<double> GridThetas(SampleGrid grid, int32_t nT);

// The highest degree that analysis recovers exactly on nT x nP samples, -1 where there is none:
// in theta nT - 2 for lobara (each meridian, extended to the full circle, is resampled), nT - 1
// for cells, dh and gl; in phi (nP - 1) / 2, so that no order aliases onto another.
int32_t AnalysisLimit(SampleGrid grid, int32_t nT, int32_t nP);

// Why nT x nP samples are not a grid of that layout, or "" when they are (dh has nP = 2 nT).
std::string GridShapeProblem(SampleGrid grid, int32_t nT, int32_t nP);
