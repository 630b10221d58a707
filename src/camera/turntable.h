#pragma once

// From turned by nFrame * 360 / nFrames degrees counter-clockwise, seen from +z, about the
// vertical line through To: the camera of frame nFrame of a turntable. Frame 0 is From itself.
void TurntableFrom(const double from[3], const double to[3], int nFrame, int nFrames, double out[3]);
