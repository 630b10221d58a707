// The camera that the program's gesture arithmetic gives after a page's gestures, for the page
// tests to render with --from and --to and to compare with the page's own modelview:
//   gesture_camera WIDTH HEIGHT FROM TO SEQUENCE...
// FROM and TO are X,Y,Z; each SEQUENCE is the page's test steps from its starting camera, joined
// by ';': drag=DX,DY[,BUTTONS] (1 left, 2 right, 3 both, from the view's centre), touch=DX,DY (one
// finger from the centre), pinch=S,T,DX,DY (two fingers S pixels apart across the centre, moved to
// T apart across the centre moved by DX,DY), wheel=PIXELS. One line of JSON a sequence: the
// modelview (column-major), From and To, and "level": whether --from and --to place that modelview
// (no roll, which they cannot give).
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "camera/camera_math.h"
#include "camera/mouse_navigation.h"

namespace {

std::vector<double> Numbers(const std::string& strText)
{
    std::vector<double> a;
    std::stringstream stream(strText);
    std::string strItem;
    while (std::getline(stream, strItem, ','))
        a.push_back(std::stod(strItem));
    return a;
}

void Premultiply(const double g[16], double m[16])
{
    double out[16];
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r)
        {
            double dSum = 0.0;
            for (int k = 0; k < 4; ++k)
                dSum += g[4 * k + r] * m[4 * c + k];
            out[4 * c + r] = dSum;
        }
    std::copy(out, out + 16, m);
}

void Fail(const std::string& strMessage)
{
    std::fprintf(stderr, "gesture_camera: %s\n", strMessage.c_str());
    std::exit(2);
}

// The modelview after the steps, each as the page's handlers see it: the tracker of the view's
// mouse, one finger turning as the left button does.
void ApplySteps(const std::string& strSteps, int nWidth, int nHeight, double m[16])
{
    std::stringstream stream(strSteps);
    std::string strStep;
    const ClientPoint centre{nWidth / 2, nHeight / 2};
    while (std::getline(stream, strStep, ';'))
    {
        const size_t nEquals = strStep.find('=');
        if (nEquals == std::string::npos)
            Fail("no '=' in " + strStep);
        const std::string strKey = strStep.substr(0, nEquals);
        const std::vector<double> a = Numbers(strStep.substr(nEquals + 1));
        double g[16];
        if ((strKey == "drag" || strKey == "touch") && (a.size() == 2 || a.size() == 3))
        {
            const int nButtons = strKey == "touch" || a.size() == 2 ? 1 : static_cast<int>(a[2]);
            CDragTracker drag;
            if (nButtons & 1)
                drag.Press(MouseButton::Left, centre);
            if (nButtons & 2)
                drag.Press(MouseButton::Right, centre);
            if (drag.Move({centre.x + static_cast<int32_t>(a[0]), centre.y + static_cast<int32_t>(a[1])},
                          nWidth, g))
                Premultiply(g, m);
        }
        else if (strKey == "pinch" && a.size() == 4)
        {
            const double before[4] = {centre.x - a[0] / 2, static_cast<double>(centre.y), centre.x + a[0] / 2,
                                      static_cast<double>(centre.y)};
            const double after[4] = {centre.x + a[2] - a[1] / 2, centre.y + a[3], centre.x + a[2] + a[1] / 2,
                                     centre.y + a[3]};
            ComputePinchTransform(before, after, g);
            Premultiply(g, m);
        }
        else if (strKey == "wheel" && a.size() == 1)
        {
            ComputeWheelTransform(a[0], g);
            Premultiply(g, m);
        }
        else
            Fail("unknown step " + strStep);
    }
}

std::string Json(const double* a, int n)
{
    std::string strText = "[";
    for (int i = 0; i < n; ++i)
    {
        char ac[32];
        std::snprintf(ac, sizeof ac, "%.17g", a[i]);
        strText += (i ? "," : "") + std::string(ac);
    }
    return strText + "]";
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 5)
        Fail("usage: gesture_camera WIDTH HEIGHT FROM TO SEQUENCE...");
    const int nWidth = std::atoi(argv[1]), nHeight = std::atoi(argv[2]);
    const std::vector<double> aFrom = Numbers(argv[3]), aTo = Numbers(argv[4]);
    if (aFrom.size() != 3 || aTo.size() != 3)
        Fail("FROM and TO are X,Y,Z");
    for (int i = 5; i < argc; ++i)
    {
        double m[16], placed[16], from[3], to[3];
        if (!ComputeModelview(aFrom.data(), aTo.data(), m))
            Fail("no camera from FROM and TO");
        ApplySteps(argv[i], nWidth, nHeight, m);
        if (!RecoverViewpoint(m, from, to) || !ComputeModelview(from, to, placed))
            Fail("no camera after " + std::string(argv[i]));
        double dOff = 0.0;
        for (int k = 0; k < 16; ++k)
            dOff = std::max(dOff, std::abs(placed[k] - m[k]) / std::max(1.0, std::abs(m[k])));
        std::printf("{\"modelview\":%s,\"from\":%s,\"to\":%s,\"level\":%s}\n", Json(m, 16).c_str(),
                    Json(from, 3).c_str(), Json(to, 3).c_str(), dOff < 1e-9 ? "true" : "false");
    }
    return 0;
}
