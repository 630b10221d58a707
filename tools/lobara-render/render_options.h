#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

#include "export/frame_pattern.h"
#include "export/picture.h"
#include "settings/settings.h"
#include "camera/camera_math.h"

// What one run of lobara-render is asked to do. The defaults are the viewer's.
struct RenderOptions
{
    int32_t nL = 2;
    int32_t nM = 0;
    int32_t nThetaDiv = 480;
    int32_t nPhiDiv = 240;
    int32_t nColorScheme = 0;
    double from[3] = {kDefaultFrom[0], kDefaultFrom[1], kDefaultFrom[2]};
    double to[3] = {kDefaultTo[0], kDefaultTo[1], kDefaultTo[2]};
    int nWidth = 800;
    int nHeight = 600;
    bool bFit = false;  // choose the distance From-To that frames the surface
    int nSupersample = 1;
    Background background = Background::kBlack;
    bool bStats = false;
    std::string strValuesPath;     // empty: no values file
    std::string strMeshPath;       // empty: no mesh file
    std::string strPicturePath;    // empty: no picture; with turntable frames, the pattern of their names
    int32_t nTableMax = -1;        // --table LMAX; -1: no table
    int32_t nTurntableFrames = 0;  // --turntable N; 0: a single picture
    FramePattern framePattern;     // the frame names of a turntable
    std::string strInfo;           // --help or --version: print this and do nothing else
};

// A command line that cannot be run; what() is one line naming the option.
class UsageError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// Reads argv[1..argc-1]. Options take their value as the next argument or after '='.
// Throws UsageError for an unknown option, a missing or malformed value, options that do not
// go together, From = To, and when nothing is asked for.
RenderOptions ParseRenderOptions(int argc, const char* const* argv);

// The viewer's settings for drawing Y(l, m) with the resolution and colours of options.
CLobaraSettings SettingsFor(const RenderOptions& options, int32_t l, int32_t m);
