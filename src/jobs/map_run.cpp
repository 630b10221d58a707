#include <algorithm>
#include <climits>
#include <utility>

#include "colour/color_schemes.h"
#include "export/output_files.h"
#include "export/png_writer.h"
#include "healpix/healpix_rings.h"
#include "jobs/analysed_field.h"
#include "jobs/file_field.h"
#include "jobs/healpix_maps.h"
#include "jobs/job_coloring.h"
#include "jobs/map_drawing.h"
#include "jobs/model_quantity.h"
#include "jobs/run_report.h"
#include "jobs/runs.h"
#include "jobs/turned_field.h"
#include "maps/map_picture.h"
#include "render/offscreen_context.h"
#include "sht/complex_field.h"
#include "sht/field_extremes.h"
#include "sht/field_rows.h"
#include "sht/finite_values.h"
#include "text/color_bar_labels.h"
#include "text/picture_title.h"

namespace {

// The extremes of a HEALPix map's values.
FieldExtremes PixelExtremes(const HealpixMap& map)
{
    const std::vector<double>& aValues = map.aColumns[0].aValues;
    const auto [pLowest, pHighest] = std::minmax_element(aValues.begin(), aValues.end());
    return FieldExtremes{*pLowest, *pHighest};
}

// The value of the pixel of a HEALPix map (RING order) that holds each direction.
MapValueAt PixelValues(const HealpixMap& map)
{
    return [&map](double dTheta, double dPhi) {
        return std::array<double, 2>{
            map.aColumns[0].aValues[static_cast<size_t>(PixelAt(map.nNside, dTheta, dPhi))], 0.0};
    };
}

// The map of the job, its grid chosen for gridField: sampled by the job's field (or its complex
// field, or the magnitude of its parts), or by sample where given, whose extremes are the
// samples'; or where pPixels is given that HEALPix map pixel for pixel, its extremes the pixels'.
void DrawMap(const Job& job, const Field& gridField, const MapSampler* pSample, const HealpixMap* pPixels,
             const std::string& strQuantity, IRunHooks& hooks)
{
    const int nWidth = job.request.Value(opt::kSize)[0];
    // A model's quantity and its unit caption the colour bar, or, where there is none (sign
    // colouring), title the map unless a title is given.
    const bool bCaption = !strQuantity.empty() && job.colorMode != ColorMode::kSign;
    const std::string strTitle =
        job.request.Value(opt::kTitle).empty() && !bCaption ? strQuantity : job.request.Value(opt::kTitle);
    // A title has a strip of its own above the map, which a picture of no given size adds; the
    // title's size grows with the picture's, and a few rounds settle the height that holds both.
    const int nUntitledHeight =
        MapPictureHeight(job.request.Value(opt::kMap), job.colorMode, nWidth, bCaption);
    int nHeight =
        job.bSizeGiven ? job.request.Value(opt::kSize)[1] : std::min(nUntitledHeight, kMaxPictureSide);
    for (int nRound = 0; nRound < 4 && !job.bSizeGiven; ++nRound)
        nHeight = std::min(nUntitledHeight + TitleHeight(strTitle, nWidth, nHeight), kMaxPictureSide);
    const int nTitleRows = TitleHeight(strTitle, nWidth, nHeight);
    const int nMapHeight = nHeight - ColorBarStripHeight(job.colorMode, nWidth, nHeight, bCaption);
    const GridSize grid = MapGrid(nMapHeight, gridField);
    // A grid beyond 32-bit counts is refused by the sampling as too large.
    const auto count = [](int64_t n) { return static_cast<int32_t>(std::min<int64_t>(n, INT32_MAX)); };
    DoubleArray aRe, aIm;
    if (!pPixels)
    {
        CRunStep step(hooks, "sampling the field");
        const auto onRow = [&step](int32_t nDone, int32_t nRows) { step.Advance(nDone, nRows); };
        if (pSample)
            aRe = (*pSample)(count(grid.nRows), count(grid.nColumns), onRow);
        else if (job.request.Value(opt::kComplex))
        {
            ComplexSamples samples =
                SampleComplexField(job.complexField, count(grid.nRows), count(grid.nColumns), onRow);
            aRe = std::move(samples.aRe);
            aIm = std::move(samples.aIm);
        }
        else if (!job.aMagnitudeParts.empty())
            aRe = SampleMagnitude(job.aMagnitudeParts, count(grid.nRows), count(grid.nColumns), onRow);
        else
            aRe = SampleField(job.field, count(grid.nRows), count(grid.nColumns), onRow);
    }
    for (const DoubleArray* pValues : {&aRe, &aIm})
        CheckFiniteValues(pValues->GetData(), static_cast<size_t>(pValues->GetSize()));
    // The bar's ends are the field's own extremes, found between the samples.
    const FieldExtremes extremes =
        pPixels ? PixelExtremes(*pPixels)
        : pSample || job.colorMode != ColorMode::kValue || job.request.Has(opt::kRange)
            ? SampledExtremes(aRe, aIm)
            : FindFieldExtremes(job.request.Value(opt::kComplex) ? job.complexField.re : job.field,
                                job.request.Value(opt::kComplex) ? &job.complexField.im : nullptr, aRe, aIm,
                                count(grid.nRows), count(grid.nColumns));
    const FieldColoring coloring = JobColoring(job, extremes, job.request.Value(opt::kComplex));
    const MapValueAt valueAt =
        pPixels ? PixelValues(*pPixels)
                : InterpolatedSamples(MapSamples{aRe, aIm, count(grid.nRows), count(grid.nColumns)});
    Picture picture = MakeMapPicture(job.request.Value(opt::kMap), job.mapFlip, valueAt, coloring, nWidth,
                                     nHeight, job.request.Value(opt::kBackground), nTitleRows, bCaption);
    if (nMapHeight < nHeight)
    {
        const ColorBarLayout bar = LayOutColorBar(nWidth, nMapHeight, nHeight - nMapHeight, bCaption);
        DrawColorBarLabels(bar, coloring, job.request.Value(opt::kBackground), picture);
        if (bCaption)
            DrawColorBarCaption(bar, strQuantity, job.request.Value(opt::kBackground), picture);
    }
    DrawTitle(picture, strTitle, job.request.Value(opt::kBackground));
    COutputSet outputs;
    if (!hooks.TakePicture(picture))
        outputs.Write(job.request.Value(opt::kOut),
                      [&picture](COutputStream& stream) { WritePng(stream, picture); });
    outputs.Commit();
}

}  // namespace

void RunMap(const Job& asked, IRunHooks& hooks)
{
    std::vector<std::string> aWarnings;
    if (asked.healpix.bPixels)
    {
        const HealpixMap map = ReadHealpixValues(asked.request.Value(opt::kAnalyze), false);
        DrawMap(asked, Field{}, nullptr, &map, "", hooks);
        return;
    }
    const Job job = WithTurnedField(WithAnalysedField(WithFileField(asked, aWarnings), hooks, aWarnings));
    DrawMap(job, GridField(job), nullptr, nullptr, QuantityCaption(job), hooks);
    TellAfterRun(job, aWarnings, hooks);
}

void DrawMapOfSamples(const Job& job, const Field& gridField, const MapSampler& sample,
                      const std::string& strCaption, IRunHooks& hooks)
{
    DrawMap(job, gridField, &sample, nullptr, strCaption, hooks);
}
