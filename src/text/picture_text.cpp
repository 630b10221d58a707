#include "text/picture_text.h"

#include <cairo.h>
#include <pango/pangocairo.h>

#include <algorithm>
#include <cmath>
#include <memory>

#include "text/text_room.h"

namespace {

constexpr char kFontFamily[] = "DejaVu Sans";

struct CairoDeleter
{
    void operator()(cairo_t* pCairo) const { cairo_destroy(pCairo); }
    void operator()(cairo_surface_t* pSurface) const { cairo_surface_destroy(pSurface); }
};
using CairoPtr = std::unique_ptr<cairo_t, CairoDeleter>;
using SurfacePtr = std::unique_ptr<cairo_surface_t, CairoDeleter>;

struct ObjectDeleter
{
    void operator()(void* pObject) const { g_object_unref(pObject); }
};
using LayoutPtr = std::unique_ptr<PangoLayout, ObjectDeleter>;

bool IsDrawableSize(double dPixelSize)
{
    return std::isfinite(dPixelSize) && dPixelSize > 0.0 && dPixelSize <= 1.0e5;
}

// The layout of the text on pCairo, in the font at the size of style, grey antialiasing, no
// hinting and no rounding of the glyphs' places. The text must be drawable.
LayoutPtr MakeLayout(cairo_t* pCairo, const std::string& strText, const TextStyle& style)
{
    cairo_font_options_t* pOptions = cairo_font_options_create();
    cairo_font_options_set_antialias(pOptions, CAIRO_ANTIALIAS_GRAY);
    cairo_font_options_set_hint_style(pOptions, CAIRO_HINT_STYLE_NONE);
    cairo_font_options_set_hint_metrics(pOptions, CAIRO_HINT_METRICS_OFF);
    LayoutPtr layout(pango_cairo_create_layout(pCairo));
    PangoContext* pContext = pango_layout_get_context(layout.get());
    pango_cairo_context_set_font_options(pContext, pOptions);
    // Glyphs at their exact advances, not rounded to whole pixels.
    pango_context_set_round_glyph_positions(pContext, FALSE);
    cairo_font_options_destroy(pOptions);
    pango_layout_context_changed(layout.get());

    PangoFontDescription* pFont = pango_font_description_new();
    pango_font_description_set_family_static(pFont, kFontFamily);
    pango_font_description_set_absolute_size(pFont, style.dPixelSize * PANGO_SCALE);
    pango_layout_set_font_description(layout.get(), pFont);
    pango_font_description_free(pFont);
    if (style.bMarkup)
        pango_layout_set_markup(layout.get(), strText.c_str(), static_cast<int>(strText.size()));
    else
        pango_layout_set_text(layout.get(), strText.c_str(), static_cast<int>(strText.size()));
    return layout;
}

// A context to lay text out on, drawing nowhere.
CairoPtr MeasuringContext()
{
    const SurfacePtr surface(cairo_image_surface_create(CAIRO_FORMAT_A8, 1, 1));
    return CairoPtr(cairo_create(surface.get()));
}

TextExtent ExtentOf(PangoLayout* pLayout)
{
    PangoRectangle logical;
    pango_layout_get_extents(pLayout, nullptr, &logical);
    const double dBaseline = pango_layout_get_baseline(pLayout) / double{PANGO_SCALE};
    return TextExtent{logical.width / double{PANGO_SCALE}, dBaseline,
                      logical.height / double{PANGO_SCALE} - dBaseline};
}

}  // namespace

bool IsDrawableText(const std::string& strText, bool bMarkup)
{
    const CTextRoom room;
    if (!g_utf8_validate(strText.c_str(), static_cast<gssize>(strText.size()), nullptr))
        return false;
    return !bMarkup || pango_parse_markup(strText.c_str(), static_cast<int>(strText.size()), 0, nullptr,
                                          nullptr, nullptr, nullptr);
}

TextExtent MeasureText(const std::string& strText, const TextStyle& style)
{
    const CTextRoom room;
    if (!IsDrawableSize(style.dPixelSize) || !IsDrawableText(strText, style.bMarkup))
        return TextExtent{};
    const CairoPtr cairo = MeasuringContext();
    return ExtentOf(MakeLayout(cairo.get(), strText, style).get());
}

void DrawText(Picture& picture, const std::string& strText, const TextStyle& style, double dX, double dY,
              TextAlign align, TextAnchor anchor)
{
    const CTextRoom room;
    if (!IsDrawableSize(style.dPixelSize) || !std::isfinite(dX) || !std::isfinite(dY) ||
        !IsDrawableText(strText, style.bMarkup))
        return;
    LayoutPtr layout;
    double dLeft = 0.0, dTop = 0.0;
    int nLeft = 0, nTop = 0, nRight = 0, nBottom = 0;
    {
        const CairoPtr cairo = MeasuringContext();
        layout = MakeLayout(cairo.get(), strText, style);
        const TextExtent extent = ExtentOf(layout.get());
        dLeft = dX - (align == TextAlign::kLeft     ? 0.0
                      : align == TextAlign::kCentre ? extent.dWidth / 2.0
                                                    : extent.dWidth);
        dTop = dY - (anchor == TextAnchor::kTop        ? 0.0
                     : anchor == TextAnchor::kBaseline ? extent.dAscent
                                                       : extent.dAscent + extent.dDescent);
        // The pixels the glyphs may touch, one more on each side for the antialiasing.
        PangoRectangle ink;
        pango_layout_get_extents(layout.get(), &ink, nullptr);
        const double dInkLeft = dLeft + ink.x / double{PANGO_SCALE};
        const double dInkTop = dTop + ink.y / double{PANGO_SCALE};
        nLeft = static_cast<int>(std::max(0.0, std::floor(dInkLeft) - 1.0));
        nTop = static_cast<int>(std::max(0.0, std::floor(dInkTop) - 1.0));
        nRight = static_cast<int>(std::min(static_cast<double>(picture.nWidth),
                                           std::ceil(dInkLeft + ink.width / double{PANGO_SCALE}) + 1.0));
        nBottom = static_cast<int>(std::min(static_cast<double>(picture.nHeight),
                                            std::ceil(dInkTop + ink.height / double{PANGO_SCALE}) + 1.0));
    }
    if (nLeft >= nRight || nTop >= nBottom)
        return;

    // The glyphs' coverage on a mask of those pixels, then blended into the picture.
    const int nMaskWidth = nRight - nLeft, nMaskHeight = nBottom - nTop;
    const SurfacePtr mask(cairo_image_surface_create(CAIRO_FORMAT_A8, nMaskWidth, nMaskHeight));
    if (cairo_surface_status(mask.get()) != CAIRO_STATUS_SUCCESS)
        throw std::bad_alloc();
    {
        const CairoPtr cairo(cairo_create(mask.get()));
        pango_cairo_update_layout(cairo.get(), layout.get());
        cairo_move_to(cairo.get(), dLeft - nLeft, dTop - nTop);
        pango_cairo_show_layout(cairo.get(), layout.get());
    }
    cairo_surface_flush(mask.get());
    const unsigned char* pMask = cairo_image_surface_get_data(mask.get());
    const int nStride = cairo_image_surface_get_stride(mask.get());
    const double dAlpha = style.colour[3] / 255.0;
    for (int y = 0; y < nMaskHeight; ++y)
        for (int x = 0; x < nMaskWidth; ++x)
        {
            const double dCover =
                pMask[static_cast<size_t>(y) * static_cast<size_t>(nStride) + static_cast<size_t>(x)] /
                255.0 * dAlpha;
            if (dCover == 0.0)
                continue;
            CoverPixel(picture,
                       static_cast<size_t>(nTop + y) * static_cast<size_t>(picture.nWidth) +
                           static_cast<size_t>(nLeft + x),
                       style.colour, dCover);
        }
}

double PictureTextSize(int nWidth, int nHeight)
{
    return std::min(nWidth, nHeight) / 40.0;
}

std::string WithPrintMinus(const std::string& strMagnitude, bool bNegative)
{
    return bNegative && strMagnitude != "0" ? "\u2212" + strMagnitude : strMagnitude;
}
