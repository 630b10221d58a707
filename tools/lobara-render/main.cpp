// lobara-render: the viewer's surface without a display.
//   lobara-render [--l L] [--m M] [--theta NT] [--phi NP] [--scheme 0-6]
//                 [--from X,Y,Z] [--to X,Y,Z] [--size WxH] [--stats] [--values FILE] [--out FILE.png]
// --stats prints one JSON line of counts; --values writes the signed value of every sample
// as little-endian IEEE doubles in vertex-index order; --out renders what the viewer shows in
// a client area of that size (default 800x600) from that camera to a PNG.
// Exit status: 0 done, 1 the surface could not be built or written, 2 the command line is wrong.

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <new>
#include <stdexcept>

#include "settings/settings.h"
#include "lobara-render/png_writer.h"
#include "lobara-render/render_options.h"
#include "platform/heap_tuning.h"
#include "platform/offscreen_context.h"
#include "surface/surface_builder.h"
#include "view/gl_camera.h"
#include "view/surface_scene.h"

namespace {

bool WriteValues(const char* pszPath, const DoubleArray& aValue)
{
    std::FILE* pFile = std::fopen(pszPath, "wb");
    if (pFile == nullptr)
        return false;
    bool bOk = true;
    unsigned char abBytes[8];
    for (int32_t i = 0; i < aValue.GetSize() && bOk; ++i)
    {
        uint64_t nBits;
        std::memcpy(&nBits, &aValue[i], sizeof nBits);
        for (unsigned char& b : abBytes)
        {
            b = static_cast<unsigned char>(nBits & 0xffu);
            nBits >>= 8;
        }
        bOk = std::fwrite(abBytes, sizeof abBytes, 1, pFile) == 1;
    }
    bOk = std::fclose(pFile) == 0 && bOk;
    if (!bOk)
    {
        const int nError = errno;  // keep the write's reason for the message
        std::remove(pszPath);
        errno = nError;
    }
    return bOk;
}

// Runs the viewer's own creation and paint sequence in an offscreen context.
void RenderPicture(const RenderOptions& options, const CLobaraSettings& settings)
{
    COffscreenContext context(options.nWidth, options.nHeight);
    context.MakeCurrent();
    CSurfaceScene scene(settings, false);
    scene.Create();
    SetViewpoint(options.from[0], options.from[1], options.from[2], options.to[0], options.to[1],
                 options.to[2]);
    SetProjection(options.nWidth, options.nHeight);
    scene.Paint();
    std::string strError;
    if (!WritePng(options.strPicturePath, options.nWidth, options.nHeight, context.ReadPixels(), strError))
        throw std::runtime_error("cannot write '" + options.strPicturePath + "': " + strError);
}

void PrintStats(const RenderOptions& options, const SurfaceMesh& mesh)
{
    const int32_t nPositive = mesh.m_aPosQuads.GetSize();
    const int32_t nNegative = mesh.m_aNegQuads.GetSize();
    std::printf(
        "{\"l\":%d,\"m\":%d,\"theta\":%d,\"phi\":%d,\"vertices\":%d,\"faces\":%lld,"
        "\"positive\":%d,\"negative\":%d}\n",
        options.nL, options.nM, options.nThetaDiv, options.nPhiDiv, mesh.m_aX.GetSize(),
        static_cast<long long>(nPositive) + nNegative, nPositive, nNegative);
}

}  // namespace

int main(int argc, char** argv)
{
    TuneHeapForDrawing();
    RenderOptions options;
    try
    {
        options = ParseRenderOptions(argc, argv);
    }
    catch (const UsageError& error)
    {
        std::fprintf(stderr, "lobara-render: %s\n", error.what());
        return 2;
    }

    CLobaraSettings settings;
    settings.m_nL = options.nL;
    settings.m_nM = options.nM;
    settings.m_nThetaDiv = options.nThetaDiv;
    settings.m_nPhiDiv = options.nPhiDiv;
    settings.m_nColorScheme = options.nColorScheme;
    try
    {
        if (options.bStats || !options.strValuesPath.empty())
        {
            SurfaceMesh mesh;
            BuildSurfaceMesh(options.nL, options.nM, options.nThetaDiv, options.nPhiDiv, mesh);
            if (!options.strValuesPath.empty() && !WriteValues(options.strValuesPath.c_str(), mesh.m_aValue))
                throw std::runtime_error("cannot write '" + options.strValuesPath +
                                         "': " + std::strerror(errno));
            if (options.bStats)
                PrintStats(options, mesh);
        }
        if (!options.strPicturePath.empty())
            RenderPicture(options, settings);
    }
    catch (const std::bad_alloc& error)
    {
        std::fprintf(stderr, "lobara-render: cannot build the surface: %s\n", error.what());
        return 1;
    }
    catch (const std::runtime_error& error)
    {
        std::fprintf(stderr, "lobara-render: %s\n", error.what());
        return 1;
    }
    return 0;
}
