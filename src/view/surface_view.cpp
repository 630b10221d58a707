#include "view/surface_view.h"

#include <wx/dcclient.h>

#include <cmath>
#include <new>

#include "platform/gl_attributes.h"
#include "view/gl_camera.h"

// clang-format off
wxBEGIN_EVENT_TABLE(CSurfaceView, wxGLCanvas)
    EVT_PAINT(CSurfaceView::OnPaint)
    EVT_SIZE(CSurfaceView::OnSize)
wxEND_EVENT_TABLE()
    // clang-format on

    // Every size change repaints the whole view, and nothing erases it first: each paint
    // clears and redraws through GL.
    CSurfaceView::CSurfaceView(wxWindow* pParent, wxWindowID nId, const CLobaraSettings& settings)
    : wxGLCanvas(pParent, ViewGLAttributes(), nId, wxDefaultPosition, wxDefaultSize,
                 wxFULL_REPAINT_ON_RESIZE | wxBORDER_NONE),
      m_pContext(std::make_unique<wxGLContext>(this)),
      m_scene(settings)
{
    SetBackgroundStyle(wxBG_STYLE_PAINT);
}

CSurfaceView::~CSurfaceView() = default;

void CSurfaceView::CreateScene()
{
    m_bSceneCreated = true;
    m_pContext->SetCurrent(*this);
    try
    {
        m_scene.Create();
    }
    catch (const std::bad_alloc&)
    {
        // Lights and camera are set; the paint that follows tries the build again.
    }
    ApplyProjection();
}

void CSurfaceView::ApplyProjection()
{
    // GL counts physical pixels.
    const wxSize size = GetClientSize();
    const double dScale = GetContentScaleFactor();
    SetProjection(static_cast<int>(std::lround(size.x * dScale)),
                  static_cast<int>(std::lround(size.y * dScale)));
}

void CSurfaceView::OnPaint(wxPaintEvent&)
{
    wxPaintDC dc(this);
    if (!m_bSceneCreated)
        CreateScene();
    m_pContext->SetCurrent(*this);
    m_scene.Paint();
    SwapBuffers();
}

void CSurfaceView::OnSize(wxSizeEvent& event)
{
    event.Skip();
    if (!m_bSceneCreated)
        return;
    m_pContext->SetCurrent(*this);
    ApplyProjection();
}
