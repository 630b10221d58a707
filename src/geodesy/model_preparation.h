#pragma once

#include <cstdint>
#include <optional>

#include "geodesy/reference_ellipsoid.h"
#include "sht/field.h"

// What is done to a gravity model's field before any quantity is taken of it.
struct ModelPreparation
{
    // The normal gravitational field removed (geodesy/normal_field.h): degree 0 and the even
    // zonal degrees to 20, whatever the model's own degree, within the band of degrees kept.
    const ReferenceEllipsoid* pNormalField = nullptr;
    int32_t nLmin = 0;
    int32_t nLmax = -1;  // -1: no limit
    // Jekeli's Gaussian smoothing of that radius (km; geodesy/gaussian_smoothing.h).
    std::optional<double> dSmoothRadius;
};

// Prepares the field of a model of GM dGm and reference radius dRadius (m; NaN where the model
// does not state them). Throws std::runtime_error, one line, where the normal field needs GM and
// the radius or the smoothing the radius and one is not stated, or the smoothing radius is not
// one (SmoothingRadiusError).
void PrepareModelField(Field& field, double dGm, double dRadius, const ModelPreparation& preparation);
