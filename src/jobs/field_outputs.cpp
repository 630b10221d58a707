#include "jobs/field_outputs.h"

#include <stdexcept>

#include "export/coefficient_export.h"
#include "export/degree_power_writer.h"
#include "export/png_writer.h"
#include "fields/coefficient_file_names.h"
#include "jobs/healpix_maps.h"
#include "plots/degree_power_plot.h"
#include "sht/coefficient_conversion.h"

bool IsPlotPath(const std::string& strPath)
{
    return HasExtension(strPath, ".png");
}

CFieldOutputs::CFieldOutputs(const Job& job) : m_job(job)
{
    if (!job.request.Value(opt::kCoeffsOut).empty())
        m_coefficients = InConvention(job.field, job.outConvention);
    if (job.request.Value(opt::kSpectrum).empty())
        return;
    m_aSpectrum = PowerSpectrum(job.field);
    if (!IsPlotPath(job.request.Value(opt::kSpectrum)))
        return;
    try
    {
        m_plot = MakeSpectrumPlot(
            m_aSpectrum, SpectrumPlotStyle{job.request.Value(opt::kSize)[0], job.request.Value(opt::kSize)[1],
                                           job.request.Value(opt::kTitle), job.plotBackground});
    }
    catch (const std::invalid_argument& error)
    {
        throw std::runtime_error(std::string("--spectrum: ") + error.what());
    }
}

void CFieldOutputs::Write(COutputSet& outputs) const
{
    const std::string strCoeffsOut = m_job.request.Value(opt::kCoeffsOut);
    if (!m_job.healpix.aPolarised.empty() &&
        CoefficientOutputFormatOf(strCoeffsOut) == CoefficientOutputFormat::kFitsAlm)
        outputs.Write(strCoeffsOut,
                      [this](COutputStream& stream) { WritePolarisedAlm(stream, m_job.healpix.aPolarised); });
    else if (!strCoeffsOut.empty())
        WriteCoefficientFile(outputs, strCoeffsOut, m_coefficients, m_job.gravityHeader);
    if (m_job.request.Value(opt::kSpectrum).empty())
        return;
    outputs.Write(m_job.request.Value(opt::kSpectrum), [this](COutputStream& stream) {
        if (IsPlotPath(m_job.request.Value(opt::kSpectrum)))
            WritePng(stream, m_plot);
        else
            WriteSpectrumCsv(stream, m_aSpectrum);
    });
}
