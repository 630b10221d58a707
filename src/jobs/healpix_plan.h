#pragma once

#include "jobs/job.h"

// Whether --analyze reads a HEALPix map: on --grid healpix, or of a .fits file, which holds one.
bool AnalysesHealpixMap(const Request& request);

// What the job does with HEALPix maps (job.healpix) and which way its map is flipped. Throws
// RequestError, one line, for a .fits values file on another grid, files of a format that holds
// no HEALPix map, --values on the HEALPix grid with no Nside, and --nside, --iter, --pol and
// --component where nothing reads or writes such a map or the job does not go with them.
void ChooseHealpix(const Request& request, Job& job);
