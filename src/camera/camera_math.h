#pragma once

// Camera mathematics of the view, free of GL: 4 x 4 matrices are 16 doubles in column-major
// order (row i, column j at index 4j + i), the layout of the GL modelview matrix.

// out = the inverse of in (adjugate over determinant, expanded along the first row).
// Returns 1 on success; 0 when the determinant is 0 or not a number, with out untouched.
// in and out must be different arrays.
int InvertMatrix4(const double in[16], double out[16]);

// The screen-right (u) and screen-up (v) unit vectors of a camera looking along -d, where
// d = From - To. World +z projects to up; when d is exactly vertical u becomes the image of
// (0, 1, 0) x w instead, so world +y points up.
void ComputeViewBasis(double dx, double dy, double dz, double* pUx, double* pUy, double* pUz, double* pVx,
                      double* pVy, double* pVz);

// A camera: the eye at From, looking at To.
struct Camera
{
    double from[3];
    double to[3];
};

// The camera every run starts with: from (0, -1, 0), looking at the origin.
constexpr Camera kDefaultCamera = {{0.0, -1.0, 0.0}, {0.0, 0.0, 0.0}};

// The world-to-eye matrix that puts To at the eye origin and From at eye (0, 0, 1).
// Returns false, with out untouched, when no camera is defined: From = To, a coordinate
// or a difference of them that is not finite, or a matrix that is not finite. Any distance
// whose matrix is finite (1e150 or 1e-160, say) places a camera.
bool ComputeModelview(const double from[3], const double to[3], double out[16]);

// From and To of the camera whose world-to-eye matrix is modelview. Returns false, with
// from and to untouched, when the matrix cannot be inverted.
bool RecoverViewpoint(const double modelview[16], double from[3], double to[3]);
