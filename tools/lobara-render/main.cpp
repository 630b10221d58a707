// lobara-render: builds the surface the viewer would show and reports on it without a display.
//   lobara-render [--l L] [--m M] [--theta NT] [--phi NP] [--stats] [--values FILE]
// --stats prints one JSON line of counts; --values writes the signed value of every sample
// as little-endian IEEE doubles in vertex-index order. Exit status: 0 done, 1 the surface
// could not be built or written, 2 the command line is wrong.

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <new>

#include "lobara-render/render_options.h"
#include "surface/surface_builder.h"

namespace
{

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

}  // namespace

int main(int argc, char** argv)
{
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

    SurfaceMesh mesh;
    try
    {
        BuildSurfaceMesh(options.nL, options.nM, options.nThetaDiv, options.nPhiDiv, mesh);
    }
    catch (const std::bad_alloc& error)
    {
        std::fprintf(stderr, "lobara-render: cannot build the surface: %s\n", error.what());
        return 1;
    }

    if (!options.strValuesPath.empty() && !WriteValues(options.strValuesPath.c_str(), mesh.m_aValue))
    {
        std::fprintf(stderr, "lobara-render: cannot write '%s': %s\n", options.strValuesPath.c_str(),
                     std::strerror(errno));
        return 1;
    }
    if (options.bStats)
    {
        const int32_t nPositive = mesh.m_aPosQuads.GetSize();
        const int32_t nNegative = mesh.m_aNegQuads.GetSize();
        std::printf(
            "{\"l\":%d,\"m\":%d,\"theta\":%d,\"phi\":%d,\"vertices\":%d,\"faces\":%lld,"
            "\"positive\":%d,\"negative\":%d}\n",
            options.nL, options.nM, options.nThetaDiv, options.nPhiDiv, mesh.m_aX.GetSize(),
            static_cast<long long>(nPositive) + nNegative, nPositive, nNegative);
    }
    return 0;
}
