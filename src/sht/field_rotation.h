#pragma once

#include "sht/complex_field.h"
#include "sht/field.h"
#include "sht/rotation.h"

// The field turned by the rotation: f_R(x) = f(R^-1 x). The result is the same function in
// whatever convention the field is written, and is written in the field's own convention: for
// every degree that has a term other than 0, all 2l + 1 terms (l, -l .. l), by increasing degree
// and order. A field of no such term is returned as it is, and so is any field turned by the
// identity (its repeated terms summed).
//
// Each degree is turned on its own, the degrees shared among nThreads threads (0: one for each
// core), as R = Rz(alpha) Ry(beta) Rz(gamma) with Ry(beta) written as a turn about z between
// two quarter turns about y (see quarter_turn.h): O(L^3) time and O(L^2) memory for degrees up
// to L. Throws SurfaceTooLarge for a degree above kMaxDegree, std::bad_alloc, and
// std::runtime_error where the convention takes a coefficient beyond the double range.
Field RotateField(const Field& field, const Rotation& rotation, unsigned nThreads = 0);

// Both parts turned: the rotation is real, so it turns the real and the imaginary part alike.
ComplexField RotateComplexField(const ComplexField& field, const Rotation& rotation, unsigned nThreads = 0);
