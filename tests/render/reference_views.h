#pragma once

#include <string>
#include <vector>

#include "settings/settings.h"
#include "support/offscreen_scene.h"
#include "support/png_file.h"

// The views whose pictures are stored as references under tests/render/references.

// One step of a mouse drag in the view: the buttons held and the cursor's move in pixels.
struct DragStep
{
    bool bLeft;
    bool bRight;
    int dx;
    int dy;
};

struct ReferenceView
{
    const char* pszName;
    int l;
    int m;
    int nScheme;
    int nWidth;
    int nHeight;
    std::vector<DragStep> aDrags;
};

extern const std::vector<ReferenceView> kReferenceViews;

// The stored picture of the view.
std::string ReferencePath(const ReferenceView& view);

// The view's surface in a client area of its size, the camera moved by its drags as the view
// moves it.
class CReferenceScene
{
public:
    explicit CReferenceScene(const ReferenceView& view);

    // Paints as the view does and reads the picture back.
    RgbPicture Paint();

    const CLobaraSettings& Settings() const { return m_settings; }
    const SurfaceMesh& Mesh() { return m_scene.Scene().GetMesh(); }

private:
    CLobaraSettings m_settings;
    COffscreenScene m_scene;
};
