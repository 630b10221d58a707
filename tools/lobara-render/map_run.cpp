#include "lobara-render/map_run.h"

#include <algorithm>
#include <climits>
#include <utility>

#include "export/map_picture.h"
#include "export/output_files.h"
#include "export/png_writer.h"
#include "lobara-render/file_field.h"
#include "lobara-render/progress.h"
#include "render/offscreen_context.h"
#include "surface/complex_field.h"
#include "surface/field_rows.h"
#include "text/color_bar_labels.h"
#include "text/picture_title.h"

void RunMap(const RenderOptions& given)
{
    std::vector<std::string> aWarnings;
    const RenderOptions options = WithFileField(given, aWarnings);
    const int nWidth = options.nWidth;
    const int nHeight =
        options.bSizeGiven
            ? options.nHeight
            : std::min(MapPictureHeight(options.mapProjection, options.colorMode, nWidth), kMaxPictureSide);
    const int nMapHeight = nHeight - ColorBarStripHeight(options.colorMode, nWidth, nHeight);
    const GridSize grid = MapGrid(nMapHeight, options.field);
    // A grid beyond 32-bit counts is refused by the sampling as too large.
    const auto count = [](int64_t n) { return static_cast<int32_t>(std::min<int64_t>(n, INT32_MAX)); };
    DoubleArray aRe, aIm;
    {
        CProgress progress("sampling the field");
        const auto onRow = [&progress](int32_t nDone, int32_t nRows) { progress.Update(nDone, nRows); };
        if (options.bComplex)
        {
            ComplexSamples samples = SampleComplexField(ComplexParts(options.field), count(grid.nRows),
                                                        count(grid.nColumns), onRow);
            aRe = std::move(samples.aRe);
            aIm = std::move(samples.aIm);
        }
        else
            aRe = SampleField(options.field, count(grid.nRows), count(grid.nColumns), onRow);
    }
    const FieldColoring coloring =
        ChooseColoring(options.colorMode, kColorSchemes[options.nColorScheme], options.strColorMap,
                       options.bRange, options.dRangeLow, options.dRangeHigh, aRe, aIm);
    Picture picture =
        MakeMapPicture(options.mapProjection, MapSamples{aRe, aIm, count(grid.nRows), count(grid.nColumns)},
                       coloring, nWidth, nHeight, options.background);
    if (nMapHeight < nHeight)
        DrawColorBarLabels(LayOutColorBar(nWidth, nMapHeight, nHeight - nMapHeight), coloring,
                           options.background, picture);
    DrawTitle(picture, options.strTitle, options.background);
    COutputSet outputs;
    outputs.Write(options.strPicturePath, [&picture](COutputStream& stream) { WritePng(stream, picture); });
    outputs.Commit();
    PrintFileWarnings(options, aWarnings);
}
