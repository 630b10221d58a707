#include "fields/orbitals.h"

#include <array>
#include <cmath>
#include <cstdlib>

namespace {

struct PureOrbital
{
    const char* pszName;        // as typed
    const char* pszPolynomial;  // a Cartesian polynomial of the same sign, in the same letters
    int32_t l;
    int32_t m;
};

constexpr PureOrbital kPureOrbitals[] = {
    {"s", "1", 0, 0},
    {"p_y", "y", 1, -1},
    {"p_z", "z", 1, 0},
    {"p_x", "x", 1, 1},
    {"d_xy", "xy", 2, -2},
    {"d_yz", "yz", 2, -1},
    {"d_z2", "3z2-r2", 2, 0},
    {"d_xz", "xz", 2, 1},
    {"d_x2-y2", "x2-y2", 2, 2},
    {"f_y(3x2-y2)", "y(3x2-y2)", 3, -3},
    {"f_xyz", "xyz", 3, -2},
    {"f_yz2", "y(5z2-r2)", 3, -1},
    {"f_z3", "z(5z2-3r2)", 3, 0},
    {"f_xz2", "x(5z2-r2)", 3, 1},
    {"f_z(x2-y2)", "z(x2-y2)", 3, 2},
    {"f_x(x2-3y2)", "x(x2-3y2)", 3, 3},
};

using Direction = std::array<double, 3>;

// One member of a hybrid set: its direction and the weights of its s, p and d parts.
struct HybridMember
{
    Direction u;
    std::array<double, 3> a;
};

struct HybridSet
{
    const char* pszName;
    std::vector<HybridMember> aMembers;
};

const std::vector<HybridSet>& HybridSets()
{
    static const std::vector<HybridSet> kSets = [] {
        const double r2 = std::sqrt(2.0), r3 = std::sqrt(3.0), r6 = std::sqrt(6.0);
        const double c = -0.5, s = r3 / 2.0;  // cos and sin of 120 degrees
        const std::array<double, 3> sp{1 / r2, 1 / r2, 0}, sp2{1 / r3, r2 / r3, 0}, sp3{0.5, r3 / 2, 0},
            axial{0, 1 / r2, 1 / r2}, sp3d2{1 / r6, 1 / r2, 1 / r3};
        const Direction z{0, 0, 1}, zm{0, 0, -1}, x{1, 0, 0}, xm{-1, 0, 0}, y{0, 1, 0}, ym{0, -1, 0},
            e2{c, s, 0}, e3{c, -s, 0};
        return std::vector<HybridSet>{
            {"sp", {{z, sp}, {zm, sp}}},
            {"sp2", {{x, sp2}, {e2, sp2}, {e3, sp2}}},
            {"sp3",
             {{{1 / r3, 1 / r3, 1 / r3}, sp3},
              {{1 / r3, -1 / r3, -1 / r3}, sp3},
              {{-1 / r3, 1 / r3, -1 / r3}, sp3},
              {{-1 / r3, -1 / r3, 1 / r3}, sp3}}},
            {"sp3d", {{z, axial}, {zm, axial}, {x, sp2}, {e2, sp2}, {e3, sp2}}},
            {"sp3d2", {{z, sp3d2}, {zm, sp3d2}, {x, sp3d2}, {xm, sp3d2}, {y, sp3d2}, {ym, sp3d2}}},
        };
    }();
    return kSets;
}

// The coefficient of Y(l, m) of the convention that makes the pure orbital of (l, m).
double OrbitalCoefficient(int32_t l, int32_t m, const Convention& convention)
{
    return (m < 0 ? -1.0 : 1.0) / ConventionFactor(l, m, convention);
}

// The terms of a hybrid member: each degree's orbitals weighted by how they point along u
// (the addition theorem's Y(l, m)(u) over the length of degree l's values at u).
std::vector<Term> HybridTerms(const HybridMember& member, const Convention& convention)
{
    const double x = member.u[0], y = member.u[1], z = member.u[2], r3 = std::sqrt(3.0);
    const std::array<std::array<double, 5>, 3> aaAlong{{
        {1, 0, 0, 0, 0},
        {y, z, x, 0, 0},
        {r3 * x * y, r3 * y * z, (3 * z * z - 1) / 2, r3 * x * z, r3 / 2 * (x * x - y * y)},
    }};
    std::vector<Term> aTerms;
    for (size_t nDegree = 0; nDegree < aaAlong.size(); ++nDegree)
        for (size_t nOrder = 0; nOrder <= 2 * nDegree; ++nOrder)
        {
            const auto l = static_cast<int32_t>(nDegree);
            const int32_t m = static_cast<int32_t>(nOrder) - l;
            const double dWeight = member.a[nDegree] * aaAlong[nDegree][nOrder];
            if (dWeight != 0.0)
                aTerms.push_back(Term{l, m, dWeight * OrbitalCoefficient(l, m, convention)});
        }
    return aTerms;
}

// The name with ² ³ and − written as 2, 3 and -.
std::string PlainName(const std::string& strName)
{
    std::string strPlain;
    for (size_t i = 0; i < strName.size(); ++i)
    {
        if (strName.compare(i, 2, "²") == 0 || strName.compare(i, 2, "³") == 0)
        {
            strPlain += strName[i + 1] == '\xB2' ? '2' : '3';
            ++i;
        }
        else if (strName.compare(i, 3, "−") == 0)
        {
            strPlain += '-';
            i += 2;
        }
        else
            strPlain += strName[i];
    }
    return strPlain;
}

// The member number after ':' in strText, 1 to nCount; 0 when it is none.
size_t MemberNumber(const std::string& strText, size_t nCount)
{
    if (strText.empty() || strText.size() > 2 || strText.find_first_not_of("0123456789") != std::string::npos)
        return 0;
    const size_t n = static_cast<size_t>(std::atoi(strText.c_str()));
    return n <= nCount ? n : 0;
}

}  // namespace

bool FindOrbital(const std::string& strName, const Convention& convention, Field& field)
{
    const std::string strPlain = PlainName(strName);
    for (const PureOrbital& orbital : kPureOrbitals)
        if (strPlain == orbital.pszName)
        {
            field = Field{{Term{orbital.l, orbital.m, OrbitalCoefficient(orbital.l, orbital.m, convention)}},
                          convention};
            return true;
        }
    const size_t nColon = strPlain.find(':');
    const std::string strSet = strPlain.substr(0, nColon);
    for (const HybridSet& set : HybridSets())
        if (strSet == set.pszName)
        {
            const size_t nMember = nColon == std::string::npos
                                       ? 1
                                       : MemberNumber(strPlain.substr(nColon + 1), set.aMembers.size());
            if (nMember == 0)
                return false;
            field = Field{HybridTerms(set.aMembers[nMember - 1], convention), convention};
            return true;
        }
    return false;
}

std::string OrbitalNames()
{
    std::string strNames;
    for (const PureOrbital& orbital : kPureOrbitals)
        strNames += std::string(strNames.empty() ? "" : ", ") + orbital.pszName;
    for (const HybridSet& set : HybridSets())
        strNames += ", " + std::string(set.pszName) + "[:1-" + std::to_string(set.aMembers.size()) + "]";
    return strNames;
}

std::vector<std::string> OrbitalNameList()
{
    std::vector<std::string> aNames;
    for (const PureOrbital& orbital : kPureOrbitals)
        aNames.emplace_back(orbital.pszName);
    for (const HybridSet& set : HybridSets())
        for (size_t n = 1; n <= set.aMembers.size(); ++n)
            aNames.push_back(set.pszName + (n == 1 ? std::string() : ":" + std::to_string(n)));
    return aNames;
}

bool FindOrbitalOfHarmonic(int32_t l, int32_t m, const Convention& convention, OrbitalOfHarmonic& orbital)
{
    for (const PureOrbital& pure : kPureOrbitals)
        if (pure.l == l && pure.m == m)
        {
            orbital = OrbitalOfHarmonic{pure.pszName, pure.pszPolynomial,
                                        OrbitalCoefficient(l, m, convention) < 0.0};
            return true;
        }
    return false;
}
