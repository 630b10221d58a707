#pragma once

#include "export/output_stream.h"
#include "fields/healpix_map_file.h"

// Writes map as healpy.write_map writes it: an empty primary unit, then a binary table (EXTNAME
// 'xtension') with a column for each of map's, named and with a unit as they are, float32
// (cForm 'E') or float64 (any other), in rows of 1024 values above 1024 pixels and of one
// otherwise, and the keywords PIXTYPE HEALPIX, ORDERING RING or NESTED (as map.bNested says;
// the values are written in their order), NSIDE, FIRSTPIX, LASTPIX, INDXSCHM IMPLICIT and
// OBJECT FULLSKY. Throws std::invalid_argument for columns that are not all 12 Nside^2 long, an
// Nside from 1 to 2^29 (a power of 2 for NESTED) or a name that FITS cannot hold, and
// std::runtime_error when the stream fails.
void WriteHealpixMap(COutputStream& stream, const HealpixMap& map);
