#include "jobs/surface_color_bar.h"

#include <algorithm>
#include <cstddef>
#include <string>

#include "colour/color_bar.h"
#include "jobs/value_caption.h"
#include "text/color_bar_labels.h"

Picture SurfaceColorBarStrip(const Job& job, const FieldColoring& coloring)
{
    if (coloring.mode == ColorMode::kSign)
        return Picture{};
    const int nWidth = job.request.Value(opt::kSize)[0], nHeight = job.request.Value(opt::kSize)[1];
    const Background background = job.request.Value(opt::kBackground);
    const std::string strCaption = ValueCaption(job);
    const int nTop = std::max(0, nHeight - ColorBarStripRows(nWidth, !strCaption.empty()));
    // Drawn where it lies in the whole picture, whose size sets the text's.
    Picture picture = BlankPicture(nWidth, nHeight, background);
    const ColorBarLayout layout = LayOutColorBar(nWidth, nTop, nHeight - nTop, !strCaption.empty());
    DrawColorBar(layout, coloring, background, picture);
    DrawColorBarLabels(layout, coloring, background, picture);
    if (!strCaption.empty())
        DrawColorBarCaption(layout, strCaption, background, picture);
    Picture strip = BlankPicture(nWidth, nHeight - nTop, background);
    const size_t nRowBytes = static_cast<size_t>(nWidth) * 4;
    std::copy(picture.aRgba.begin() + static_cast<std::ptrdiff_t>(nRowBytes * static_cast<size_t>(nTop)),
              picture.aRgba.end(), strip.aRgba.begin());
    return strip;
}
