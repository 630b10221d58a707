#pragma once

#include <string>
#include <vector>

#include "fields/grid_values.h"
#include "sht/point_analysis.h"
#include "sht/sample_grid.h"

// Values as CSV rows theta,phi,value (radians), as --values writes them, after an optional header
// line naming the columns.

// A grid's rows in --values's order: ring by ring from the north, each ring's phi = 2 pi j / nP
// in turn. The size follows from the rows (nP of them share the first theta); every theta and phi
// must be the grid's own to 1e-9, else the file is not that grid and fails with one line.
GridValues ReadCsvGridValues(const std::string& strPath, SampleGrid grid);

// Scattered points, in any order, each row with an optional fourth column, its weight (> 0,
// 1 when left out); theta in [0, pi]. A file without points fails.
std::vector<SamplePoint> ReadCsvPoints(const std::string& strPath);
