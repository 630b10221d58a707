#include "camera/turntable.h"

#include <cmath>

#include "sht/angles.h"

void TurntableFrom(const double from[3], const double to[3], int nFrame, int nFrames, double out[3])
{
    if (nFrame == 0)
    {
        for (int k = 0; k < 3; ++k)
            out[k] = from[k];
        return;
    }
    const double dAngle = kTwoPi * nFrame / nFrames;
    const double c = std::cos(dAngle), s = std::sin(dAngle);
    const double dx = from[0] - to[0], dy = from[1] - to[1];
    out[0] = to[0] + (dx * c - dy * s);
    out[1] = to[1] + (dx * s + dy * c);
    out[2] = from[2];
}
