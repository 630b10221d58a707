#include "render/reference_views.h"

#include "camera/mouse_navigation.h"
#include "render/gl_camera.h"

namespace {

CLobaraSettings SettingsOf(const ReferenceView& view)
{
    CLobaraSettings settings;
    settings.m_nL = view.l;
    settings.m_nM = view.m;
    settings.m_nColorScheme = view.nScheme;
    return settings;
}

}  // namespace

const std::vector<ReferenceView> kReferenceViews = {
    {"default", 2, 0, 0, 320, 240, {}},
    {"scheme-1", 2, 0, 1, 240, 180, {}},
    {"scheme-2", 2, 0, 2, 240, 180, {}},
    {"scheme-3", 2, 0, 3, 240, 180, {}},
    {"scheme-4", 2, 0, 4, 240, 180, {}},
    {"scheme-5", 2, 0, 5, 240, 180, {}},
    {"scheme-6", 2, 0, 6, 240, 180, {}},
    {"l0", 0, 0, 0, 320, 240, {}},
    {"negative-m", 3, -2, 0, 320, 240, {}},
    // Turned by a left drag, enlarged by a right drag, moved by a drag with both buttons.
    {"navigated", 2, 0, 0, 320, 240, {{true, false, 40, -25}, {false, true, 30, -10}, {true, true, 24, 16}}},
    {"tall", 2, 0, 0, 200, 320, {}},
};

std::string ReferencePath(const ReferenceView& view)
{
    return std::string(LOBARA_REFERENCE_DIR) + "/" + view.pszName + ".png";
}

CReferenceScene::CReferenceScene(const ReferenceView& view)
    : m_settings(SettingsOf(view)), m_scene(m_settings, view.nWidth, view.nHeight)
{
    for (const DragStep& step : view.aDrags)
    {
        double g[16];
        if (ComputeDragTransform(step.bLeft, step.bRight, step.dx, step.dy, view.nWidth, g))
            PremultiplyModelview(g);
    }
}

RgbPicture CReferenceScene::Paint()
{
    m_scene.Paint();
    const std::vector<uint8_t>& aRgba = m_scene.Context().ReadPixels();
    RgbPicture picture{m_scene.Context().GetWidth(), m_scene.Context().GetHeight(), {}};
    picture.m_aRgb.reserve(aRgba.size() / 4 * 3);
    for (size_t i = 0; i < aRgba.size(); i += 4)
        picture.m_aRgb.insert(picture.m_aRgb.end(), &aRgba[i], &aRgba[i + 3]);
    return picture;
}
