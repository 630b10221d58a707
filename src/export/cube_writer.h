#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "export/output_stream.h"

// A Gaussian cube file's header: two comment lines, the origin of its grid, each axis's count of
// points and step between them (lengths in bohr), and its atoms.
struct CubeHeader
{
    struct Atom
    {
        int32_t nNumber = 1;  // the atomic number
        double dCharge = 1.0;
        std::array<double, 3> aPosition{};
    };

    std::string strTitle;
    std::string strComment;
    std::array<double, 3> aOrigin{};
    std::array<int32_t, 3> anCount{};
    std::array<std::array<double, 3>, 3> aaStep{};
    std::vector<Atom> aAtoms;
};

// Writes the cube: the two comment lines (each ended where a line break would start another),
// the atom count with the origin, each axis's count with its step, each atom's number, charge and
// position, then the values, the third axis fastest and the first slowest, six to a line and a
// line break after each run along the third axis. Every number is written with the digits that
// read back as the same double. aValues must hold the product of the counts.
void WriteCube(COutputStream& stream, const CubeHeader& header, const std::vector<double>& aValues);
