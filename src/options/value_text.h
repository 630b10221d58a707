#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "geodesy/degree_grid.h"
#include "geodesy/field_quantity.h"
#include "geodesy/geodetic_place.h"
#include "geodesy/reference_ellipsoid.h"
#include "mesh/radius_rule.h"
#include "sht/convention.h"
#include "sht/rotation.h"
#include "sht/sample_grid.h"

// Strict readers of a request's values written as text, for every front end that takes text: the
// same whatever the locale. Each throws RequestError with a one-line message naming the item
// (strName, as lobara-render's option).

// The whole text one decimal integer within [nMin, nMax], with an optional sign.
int32_t ParseInt32(const std::string& strName, const std::string& strText, long long nMin = INT32_MIN,
                   long long nMax = INT32_MAX);

// "X,Y,Z": three finite decimal numbers.
std::array<double, 3> ParsePoint(const std::string& strName, const std::string& strText);

// "WxH", each side from 1 to nMaxSide pixels.
// The width and the height.
std::array<int, 2> ParseSize(const std::string& strName, const std::string& strText, int nMaxSide);

std::string NonEmptyPath(const std::string& strName, const std::string& strText);

// "A,B,...": finite decimal numbers separated by commas, nCount of them (any number, at least
// one, for 0). strForm names the form in the message, e.g. "THETA,PHI".
std::vector<double> ParseNumbers(const std::string& strName, const std::string& strText, size_t nCount,
                                 const std::string& strForm);

// "L,M,C": the term C * Y(L, M), L and M integers.
Term ParseTerm(const std::string& strName, const std::string& strText);

// "abs", "square", "one", "offset" or "offset:R", R as ParsePositive reads it; offset alone is
// offset:1.
RadiusRule ParseRadius(const std::string& strName, const std::string& strText);

// "LO,HI": two finite numbers, LO below HI.
std::array<double, 2> ParseRange(const std::string& strName, const std::string& strText);

// "THETA,PHI" in radians, THETA from 0 to pi, or "X,Y,Z" (a point in space, for an orbital).
std::vector<double> ParseAtPoint(const std::string& strName, const std::string& strText);

// A Gaussian cube file's name: ending in .cube.
std::string ParseCubePath(const std::string& strName, const std::string& strText);

// "THETA,PHI" in radians, THETA from 0 to pi.
std::array<double, 2> ParseAngles(const std::string& strName, const std::string& strText);

// A rotation as ParseRotation reads it.
Rotation ParseTurn(const std::string& strName, const std::string& strText);

// Where sampled values lie: on a grid, at scattered points, on the HEALPix grid, or (a model's
// values) on a grid of geodetic degrees.
struct GridChoice
{
    SampleGrid grid = SampleGrid::kLobara;
    bool bPoints = false;
    bool bHealpix = false;
    std::optional<DegreeGrid> degrees;
};

// The name of the HEALPix grid as --grid spells it.
constexpr char kHealpixGridName[] = "healpix";

// The name of a grid choice as --grid spells it (a grid of degrees as the grid's).
std::string GridChoiceName(const GridChoice& choice);

// "LAT,LON,H": geodetic degrees and metres, the latitude from -90 to 90.
GeodeticPlace ParseGeodeticPlace(const std::string& strName, const std::string& strText);

// "degrees:S,N,W,E,STEP": the limits and step of a grid of geodetic degrees.
DegreeGrid ParseDegreeGrid(const std::string& strName, const std::string& strText);

// A sample grid by its name, "points", "healpix", or a grid of geodetic degrees.
GridChoice ParseGrid(const std::string& strName, const std::string& strText);

// One number above 0 and at most 1e30.
double ParsePositive(const std::string& strName, const std::string& strText);

// The rule as ParseRadius reads it: "abs", "offset:2".
std::string RadiusRuleText(const RadiusRule& rule);

// An ISO date YYYY-MM-DD or a decimal year, as days (fields/model_time.h).
double ParseEpochText(const std::string& strName, const std::string& strText);

// A reference ellipsoid by name; none (nullptr) for "none".
const ReferenceEllipsoid* ParseEllipsoid(const std::string& strName, const std::string& strText);

// A quantity of a gravity or magnetic model by name.
const QuantityInfo* ParseQuantity(const std::string& strName, const std::string& strText);

// A mesh file's name, whose extension says its format.
std::string ParseMeshPath(const std::string& strName, const std::string& strText);

// A colour map by name.
std::string ParseColorMap(const std::string& strName, const std::string& strText);

// Text to draw: UTF-8.
std::string ParseTitle(const std::string& strName, const std::string& strText);

// The highest degree of a table, or none where the text is empty (the option given alone).
std::optional<int32_t> ParseTableExtent(const std::string& strName, const std::string& strText);

// The text as one line that a terminal shows as it is: line breaks, tabs and the other control
// characters that user text (a file name, a value) may carry are written as escapes (\n, \t,
// \x1B), so that a message stays one line and cannot drive the terminal.
std::string OneLine(const std::string& strText);
