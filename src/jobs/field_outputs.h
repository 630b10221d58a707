#pragma once

#include <string>
#include <vector>

#include "export/output_files.h"
#include "jobs/job.h"
#include "picture/picture.h"
#include "sht/degree_power.h"

// The outputs made from the field's coefficients rather than its samples: the coefficients in
// the convention of their file, and the spectrum.

// Whether --spectrum's file is the plot (a name ending in .png) rather than the CSV.
bool IsPlotPath(const std::string& strPath);

// The coefficients and the spectrum the job asks for, worked out before anything is written: the
// conversion and the plot are where such a run can fail.
class CFieldOutputs
{
public:
    // Throws std::runtime_error where a coefficient or a power is beyond the range of doubles,
    // and where the spectrum has nothing to plot (a field 0 everywhere) or the picture no room.
    explicit CFieldOutputs(const Job& job);

    // Adds the files to outputs, which puts them in place with the run's others.
    void Write(COutputSet& outputs) const;

private:
    const Job& m_job;
    Field m_coefficients;
    std::vector<DegreePower> m_aSpectrum;
    Picture m_plot;
};
