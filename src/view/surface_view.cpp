#include "view/surface_view.h"

#include <wx/dcclient.h>
#include <wx/utils.h>

#include <cmath>
#include <new>

#include "platform/gl_attributes.h"
#include "render/gl_camera.h"

wxBEGIN_EVENT_TABLE(CSurfaceView, wxGLCanvas)
    EVT_PAINT(CSurfaceView::OnPaint)
    EVT_SIZE(CSurfaceView::OnSize)
    EVT_LEFT_DOWN(CSurfaceView::OnLButtonDown)
    EVT_LEFT_UP(CSurfaceView::OnLButtonUp)
    EVT_RIGHT_DOWN(CSurfaceView::OnRButtonDown)
    EVT_RIGHT_UP(CSurfaceView::OnRButtonUp)
    EVT_MOTION(CSurfaceView::OnMouseMove)
    EVT_MOUSE_CAPTURE_LOST(CSurfaceView::OnMouseCaptureLost)
wxEND_EVENT_TABLE()

// Every size change repaints the whole view, and nothing erases it first: each paint
// clears and redraws through GL.
CSurfaceView::CSurfaceView(wxWindow* pParent, wxWindowID nId, const CLobaraSettings& settings)
    : wxGLCanvas(pParent, ViewGLAttributes(), nId, wxDefaultPosition, wxDefaultSize,
                 wxFULL_REPAINT_ON_RESIZE | wxBORDER_NONE),
      m_pContext(std::make_unique<wxGLContext>(this)),
      m_scene(settings, true)
{
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    SetCursor(wxCursor(wxCURSOR_ARROW));
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

wxSize CSurfaceView::GetViewportSize() const
{
    // GL counts physical pixels.
    const wxSize size = GetClientSize();
    const double dScale = GetContentScaleFactor();
    return wxSize(static_cast<int>(std::lround(size.x * dScale)),
                  static_cast<int>(std::lround(size.y * dScale)));
}

void CSurfaceView::ApplyProjection()
{
    const wxSize size = GetViewportSize();
    SetProjection(size.x, size.y);
}

void CSurfaceView::MakeCurrent()
{
    if (!m_bSceneCreated)
        CreateScene();
    m_pContext->SetCurrent(*this);
}

bool CSurfaceView::GetViewpoint(double* pFromX, double* pFromY, double* pFromZ, double* pToX, double* pToY,
                                double* pToZ)
{
    MakeCurrent();
    return ::GetViewpoint(pFromX, pFromY, pFromZ, pToX, pToY, pToZ);
}

bool CSurfaceView::SetViewpoint(double fromX, double fromY, double fromZ, double toX, double toY, double toZ)
{
    MakeCurrent();
    return ::SetViewpoint(fromX, fromY, fromZ, toX, toY, toZ);
}

void CSurfaceView::OnPaint(wxPaintEvent&)
{
    wxPaintDC dc(this);
    MakeCurrent();
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

void CSurfaceView::Press(MouseButton button)
{
    // The drag starts where the cursor is now, not where the event says it was.
    const wxPoint cursor = ScreenToClient(wxGetMousePosition());
    m_drag.Press(button, ClientPoint{cursor.x, cursor.y});
    // wx stacks captures; one held capture serves both buttons.
    if (!HasCapture())
        CaptureMouse();
}

void CSurfaceView::Release(MouseButton button)
{
    if (m_drag.Release(button) && HasCapture())
        ReleaseMouse();
}

void CSurfaceView::OnLButtonDown(wxMouseEvent& event)
{
    Press(MouseButton::Left);
    event.Skip();
}

void CSurfaceView::OnLButtonUp(wxMouseEvent& event)
{
    Release(MouseButton::Left);
    event.Skip();
}

void CSurfaceView::OnRButtonDown(wxMouseEvent& event)
{
    Press(MouseButton::Right);
    event.Skip();
}

void CSurfaceView::OnRButtonUp(wxMouseEvent& event)
{
    Release(MouseButton::Right);
    event.Skip();
}

void CSurfaceView::OnMouseMove(wxMouseEvent& event)
{
    double g[16];
    if (m_drag.Move(ClientPoint{event.GetX(), event.GetY()}, GetClientSize().x, g))
    {
        MakeCurrent();
        PremultiplyModelview(g);
        Refresh(true);
    }
    event.Skip();
}

void CSurfaceView::OnMouseCaptureLost(wxMouseCaptureLostEvent&)
{
    // Another window took the mouse. The flags stand until the releases arrive, as they
    // would with the capture held; the next press captures again.
}
