#pragma once

#include <wx/glcanvas.h>

#include <memory>

#include "camera/mouse_navigation.h"
#include "render/surface_scene.h"
#include "settings/settings.h"

// The child window that shows the surface: it owns the GL context, which stays current
// for the window's life, and the scene it paints.
class CSurfaceView : public wxGLCanvas
{
public:
    CSurfaceView(wxWindow* pParent, wxWindowID nId, const CLobaraSettings& settings);
    ~CSurfaceView() override;

    // False when the window system gave no GL context: the view cannot draw.
    bool IsOK() const { return GetHandle() != nullptr && m_pContext->IsOK(); }

    // The camera, read and placed through the view's own context (see gl_camera.h).
    bool GetViewpoint(double* pFromX, double* pFromY, double* pFromZ, double* pToX, double* pToY,
                      double* pToZ);
    bool SetViewpoint(double fromX, double fromY, double fromZ, double toX, double toY, double toZ);

    // The client area in the physical pixels that GL draws.
    wxSize GetViewportSize() const;

    const CSurfaceScene& GetScene() const { return m_scene; }
    const CDragTracker& GetDragState() const { return m_drag; }

private:
    // GL needs a realised window, which GTK gives only once the window is shown; so the
    // creation sequence runs at the first paint.
    void CreateScene();
    // Makes the view's context current, running the creation sequence first if no paint has.
    void MakeCurrent();
    void ApplyProjection();

    void OnPaint(wxPaintEvent& event);
    void OnSize(wxSizeEvent& event);

    // Left drag turns the surface, both buttons pan, right drag zooms. Double clicks are
    // not handled: their second press starts nothing.
    void OnLButtonDown(wxMouseEvent& event);
    void OnLButtonUp(wxMouseEvent& event);
    void OnRButtonDown(wxMouseEvent& event);
    void OnRButtonUp(wxMouseEvent& event);
    void OnMouseMove(wxMouseEvent& event);
    void OnMouseCaptureLost(wxMouseCaptureLostEvent& event);
    void Press(MouseButton button);
    void Release(MouseButton button);

    std::unique_ptr<wxGLContext> m_pContext;
    bool m_bSceneCreated = false;
    CSurfaceScene m_scene;
    CDragTracker m_drag;

    wxDECLARE_EVENT_TABLE();
};
