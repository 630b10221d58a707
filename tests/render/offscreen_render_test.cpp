// The real lighting and drawing code rendering into memory: facts a person would see,
// with tolerances rather than exact images.

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "render/gl_camera.h"
#include "render/offscreen_context.h"
#include "render/surface_drawing.h"
#include "render/surface_scene.h"
#include "sht/normalization.h"
#include "support/offscreen_scene.h"

namespace {

struct Rgb
{
    int r, g, b;
    bool IsBlack() const { return r == 0 && g == 0 && b == 0; }
};

class Picture
{
public:
    Picture(COffscreenContext& context) : m_nWidth(context.GetWidth()), m_aPixels(context.ReadPixels()) {}
    // (x, y) in pixels from the top left.
    Rgb At(int x, int y) const
    {
        const size_t i =
            (static_cast<size_t>(y) * static_cast<size_t>(m_nWidth) + static_cast<size_t>(x)) * 4;
        return {m_aPixels[i], m_aPixels[i + 1], m_aPixels[i + 2]};
    }
    int CountLit() const
    {
        int n = 0;
        for (size_t i = 0; i < m_aPixels.size(); i += 4)
            n += (m_aPixels[i] | m_aPixels[i + 1] | m_aPixels[i + 2]) != 0;
        return n;
    }

private:
    int m_nWidth;
    std::vector<uint8_t> m_aPixels;
};

// Paints the scene as the view does and reads the picture back.
Picture Paint(COffscreenScene& scene)
{
    scene.Paint();
    return Picture(scene.Context());
}

bool IsRed(Rgb c)
{
    return c.r > 30 && c.r > 2 * c.g && c.r > 2 * c.b;
}
bool IsBlue(Rgb c)
{
    return c.b > 30 && c.b > 2 * c.r;
}

// Half-widths of the lit region along the row and the column through the centre.
std::pair<int, int> LitExtent(const Picture& picture, int nWidth, int nHeight)
{
    int nX = 0, nY = 0;
    for (int x = 0; x < nWidth; ++x)
        nX += !picture.At(x, nHeight / 2).IsBlack();
    for (int y = 0; y < nHeight; ++y)
        nY += !picture.At(nWidth / 2, y).IsBlack();
    return {nX / 2, nY / 2};
}

}  // namespace

TEST(OffscreenRender, DefaultPictureHasRedLobesAndABlueBelt)
{
    CLobaraSettings settings;
    COffscreenScene render(settings);
    const Picture picture = Paint(render);
    EXPECT_TRUE(picture.At(2, 2).IsBlack());
    EXPECT_TRUE(picture.At(397, 297).IsBlack());
    EXPECT_TRUE(IsRed(picture.At(200, 150 - 80))) << "upper lobe";
    EXPECT_TRUE(IsRed(picture.At(200, 150 + 80))) << "lower lobe";
    EXPECT_TRUE(IsBlue(picture.At(200, 150))) << "belt";
    EXPECT_TRUE(IsBlue(picture.At(200 - 50, 150))) << "belt";
    EXPECT_TRUE(picture.At(200 - 100, 150 - 80).IsBlack()) << "beside the upper lobe";
}

TEST(OffscreenRender, DarkSchemeShowsOnlyGrey)
{
    CLobaraSettings settings;
    settings.m_nColorScheme = 6;
    COffscreenScene render(settings);
    const Picture picture = Paint(render);
    // Away from the specular highlights every lit pixel is a dark, hueless grey.
    for (int y : {150 - 80, 150, 150 + 80})
    {
        const Rgb c = picture.At(200 - 20, y);
        EXPECT_FALSE(c.IsBlack());
        EXPECT_LT(c.r, 40);
        EXPECT_NEAR(c.r, c.g, 8);
    }
}

TEST(OffscreenRender, ConstantHarmonicIsOneRoundDiscOfThePositiveColour)
{
    CLobaraSettings settings;
    settings.m_nL = 0;
    // One unit spans half the width in both directions, whatever the window's shape.
    for (const auto& size : {std::pair{400, 300}, std::pair{400, 200}, std::pair{200, 400}})
    {
        SCOPED_TRACE(testing::Message() << size.first << "x" << size.second);
        COffscreenScene render(settings, size.first, size.second);
        const Picture picture = Paint(render);
        const double dRadius = NormalizationFactor(0, 0) * size.first / 2;
        const auto extent = LitExtent(picture, size.first, size.second);
        EXPECT_NEAR(extent.first, dRadius, 2.0);
        EXPECT_NEAR(extent.second, dRadius, 2.0);
        EXPECT_TRUE(IsRed(picture.At(size.first / 2 - 10, size.second / 2 + 10)));
    }
}

TEST(OffscreenRender, WideWindowShowsHalfAUnitUpAndDown)
{
    // The default lobes reach z = 0.63; a 2:1 window shows y from -0.5 to 0.5, so the
    // lobes run off the top and bottom edges while the belt keeps its width.
    CLobaraSettings settings;
    COffscreenScene render(settings, 400, 200);
    const Picture picture = Paint(render);
    EXPECT_TRUE(IsRed(picture.At(200, 1)));
    EXPECT_TRUE(IsRed(picture.At(200, 198)));
}

TEST(OffscreenRender, ZeroSurfaceDrawsNothing)
{
    CLobaraSettings settings;
    settings.m_nL = 2;
    settings.m_nM = 3;
    COffscreenScene render(settings);
    EXPECT_EQ(Paint(render).CountLit(), 0);
}

TEST(OffscreenRender, FaceTurnedFromEveryLightShowsOnlyAmbient)
{
    // Lights come from the viewer's upper right front; the lower left rim of the sphere
    // faces the viewer but none of them: 0.2 x the pass colour (1.0, 0.2, 0.2).
    CLobaraSettings settings;
    settings.m_nL = 0;
    COffscreenScene render(settings);
    const Picture picture = Paint(render);
    const double r = NormalizationFactor(0, 0) * 200;
    const Rgb c = picture.At(static_cast<int>(200 - 0.6 * r), static_cast<int>(150 + 0.6 * r));
    EXPECT_NEAR(c.r, 51, 2);
    EXPECT_NEAR(c.g, 10, 2);
    EXPECT_NEAR(c.b, 10, 2);
}

TEST(OffscreenRender, OnlyFacesTurnedTowardTheViewerAreDrawn)
{
    // A lone square in the plane y = 0, seen from -y: drawn with the normal (0, -1, 0),
    // not with (0, 1, 0), although nothing else covers it.
    CLobaraSettings settings;
    COffscreenContext context(100, 100);
    context.MakeCurrent();
    SetupLighting(kViewerClearColor);
    SetViewpoint(0, -1, 0, 0, 0, 0);
    SetProjection(100, 100);
    SurfaceMesh mesh;
    for (FloatArray* pArray : {&mesh.m_aX, &mesh.m_aY, &mesh.m_aZ})
        pArray->SetSize(4);
    const float corners[4][2] = {{-0.5f, -0.5f}, {0.5f, -0.5f}, {0.5f, 0.5f}, {-0.5f, 0.5f}};
    for (int i = 0; i < 4; ++i)
    {
        mesh.m_aX[i] = corners[i][0];
        mesh.m_aZ[i] = corners[i][1];
    }
    mesh.m_aPosQuads.SetSize(1);
    mesh.m_aPosQuads[0] = FaceQuad{0, 1, 2, 3};
    for (FloatArray* pArray : {&mesh.m_aPosNX, &mesh.m_aPosNY, &mesh.m_aPosNZ})
        pArray->SetSize(1);

    for (float fNormalY : {-1.0f, 1.0f, 0.0f, std::numeric_limits<float>::quiet_NaN()})
    {
        mesh.m_aPosNY[0] = fNormalY;
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        DrawSurface(mesh, settings);
        EXPECT_EQ(Picture(context).At(50, 50).IsBlack(), fNormalY != -1.0f) << fNormalY;
    }
}

TEST(OffscreenRender, NaNCameraDrawsNothing)
{
    CLobaraSettings settings;
    COffscreenScene render(settings);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double m[16] = {1, 0, nan, 0, 0, 1, nan, 0, 0, 0, nan, 0, 0, 0, 0, 1};
    glMatrixMode(GL_MODELVIEW);
    glLoadMatrixd(m);
    EXPECT_EQ(Paint(render).CountLit(), 0);
}

TEST(OffscreenRender, CameraIsTheModelviewAndUndefinedViewpointsLeaveIt)
{
    CLobaraSettings settings;
    COffscreenScene render(settings);
    ASSERT_TRUE(SetViewpoint(3, 4, 0, 1, 1, 1));
    double before[16], after[16];
    glGetDoublev(GL_MODELVIEW_MATRIX, before);
    EXPECT_FALSE(SetViewpoint(1, 1, 1, 1, 1, 1));
    EXPECT_FALSE(SetViewpoint(std::nan(""), 0, 0, 0, 0, 0));
    glGetDoublev(GL_MODELVIEW_MATRIX, after);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(before[i], after[i]);

    double f[3], t[3];
    ASSERT_TRUE(GetViewpoint(&f[0], &f[1], &f[2], &t[0], &t[1], &t[2]));
    EXPECT_NEAR(f[0], 3, 1e-6);  // GL keeps the matrix in single precision
    EXPECT_NEAR(f[1], 4, 1e-6);
    EXPECT_NEAR(t[2], 1, 1e-6);

    // The resize handler leaves the projection selected; the camera calls select the modelview.
    SetProjection(400, 300);
    ASSERT_TRUE(SetViewpoint(0, -1, 0, 0, 0, 0));
    GLint nMode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &nMode);
    EXPECT_EQ(nMode, GL_MODELVIEW);
}

TEST(SurfaceScene, PaintRebuildsOnlyWhenTheRevisionMoves)
{
    CLobaraSettings settings;
    COffscreenScene render(settings);
    EXPECT_EQ(render.Scene().GetBuiltRevision(), -1);
    render.Paint();
    EXPECT_EQ(render.Scene().GetBuiltRevision(), 0);
    EXPECT_EQ(render.Scene().GetMesh().m_aX.GetSize(), 480 * 240);

    settings.m_nThetaDiv = 10;  // not applied until the revision moves
    render.Paint();
    EXPECT_EQ(render.Scene().GetMesh().m_aX.GetSize(), 480 * 240);
    ++settings.m_nRevision;
    render.Paint();
    EXPECT_EQ(render.Scene().GetMesh().m_aX.GetSize(), 10 * 240);
    EXPECT_EQ(render.Scene().GetBuiltRevision(), 1);
}

TEST(SurfaceScene, FailedBuildKeepsDrawingThePreviousSurfaceAndRetries)
{
    CLobaraSettings settings;
    COffscreenScene render(settings);
    const int nLitBefore = Paint(render).CountLit();
    settings.m_nL = std::numeric_limits<int32_t>::max();
    ++settings.m_nRevision;
    EXPECT_EQ(Paint(render).CountLit(), nLitBefore);
    EXPECT_EQ(render.Scene().GetBuiltRevision(), 0);
    settings.m_nL = 0;
    EXPECT_NE(Paint(render).CountLit(), nLitBefore);
    EXPECT_EQ(render.Scene().GetBuiltRevision(), 1);
}
