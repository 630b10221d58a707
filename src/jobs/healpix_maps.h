#pragma once

#include <string>

#include "export/output_stream.h"
#include "fields/healpix_map_file.h"
#include "jobs/job.h"
#include "jobs/run_hooks.h"

// The HEALPix maps of a job (jobs/healpix_job.h): the map of --analyze read and analysed, the map
// of --values synthesised and written. Maps are in RING order; a polarised one has the columns I,
// Q and U, its coefficients the fields T, E and B (E and B of Q + i U of spin 2, healpy's COSMO
// convention).

// The map of --analyze as the file holds it, in RING order: a .fits map (its first column, or its
// first three with bPolarised) or a .npy array of shape (12 Nside^2), or (3, 12 Nside^2) with
// bPolarised. Throws std::runtime_error, one line naming the file, for a file that cannot be read,
// an array of another shape and a pixel that is UNSEEN (within healpy's relative 1e-5 of it, as
// its mask_bad finds them) or not finite.
HealpixMap ReadHealpixValues(const std::string& strPath, bool bPolarised);

// The job with the field of its HEALPix map of --analyze: healpy's map2alm with --iter Jacobi
// steps, up to --lmax (3 Nside - 1 unless given, at most kMaxDegree), in the job's convention;
// with --pol T, E and B in job.healpix.aPolarised and the field that of --component. Its
// healpix.nSide becomes the map's unless --nside gave it. Throws as ReadHealpixValues does.
void AnalyseHealpixMap(Job& job, IRunHooks& hooks);

// The map of the job's field (or with --pol the maps I, Q and U of its fields T, E and B) at the
// job's Nside, by healpy's alm2map up to the fields' highest degree.
HealpixMap SynthesizeHealpixMap(const Job& job, IRunHooks& hooks);

// Writes map as strPath's name says: .fits as healpy's write_map writes it (float64, healpy's
// column names), .npy an array of shape (12 Nside^2), or (3, 12 Nside^2) for three columns.
void WriteHealpixValues(COutputStream& stream, const std::string& strPath, const HealpixMap& map);

// Writes the fields T, E and B as healpy's write_alm writes the three: a unit each, up to their
// highest degree.
void WritePolarisedAlm(COutputStream& stream, const std::vector<Field>& aFields);
