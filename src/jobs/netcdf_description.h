#pragma once

#include <string>
#include <vector>

#include "export/netcdf_writer.h"
#include "jobs/job.h"

// How a netCDF file of the job's --values names them: a model's --quantity by its name, title and
// unit (its secular variation's with bRate), any other field "value" without units; on the rows
// and columns given (degrees), the grid's kind as --grid names it.
NetcdfGrid ValuesNetcdfGrid(const Job& job, bool bRate, std::vector<double> aLatitude,
                            std::vector<double> aLongitude, std::string strGridKind);
