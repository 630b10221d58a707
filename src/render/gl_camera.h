#pragma once

// The camera is the modelview matrix of the current GL context; these read and write it.
// Each selects the modelview first, since resizing leaves the projection selected.

// Replaces the modelview with the camera looking from From to To. When no camera is defined
// (From = To, or a coordinate not finite) the camera is left as it was and false returned.
bool SetViewpoint(double fromX, double fromY, double fromZ, double toX, double toY, double toZ);

// Recovers From and To from the current modelview. When it cannot be inverted the outputs
// are left as they were and false returned.
bool GetViewpoint(double* pFromX, double* pFromY, double* pFromZ, double* pToX, double* pToY, double* pToZ);

// Moves the camera by an eye-space transform: the modelview S becomes G S.
void PremultiplyModelview(const double g[16]);

// Viewport of nWidth x nHeight pixels with the orthographic projection x in [-1, 1],
// y in [-h/w, h/w], z in [-10, 10]; leaves the projection matrix selected. A size with no
// area is skipped: the previous projection stays.
void SetProjection(int nWidth, int nHeight);
