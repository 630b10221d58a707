#include "fields/csv_values.h"

#include <cmath>

#include "sht/angles.h"
#include "fields/coefficient_text.h"

namespace {

// How far a grid file's angles may be from the grid's own: text of fewer digits than a double.
constexpr double kAngleTolerance = 1e-9;

// The rows of a values file: each with its fields read as numbers; a first line that is not a
// number is a header, which must name theta, phi, value and optionally weight.
class CValueRows
{
public:
    explicit CValueRows(const std::string& strPath) : m_lines(strPath) {}

    // The next row's theta, phi, value and weight (1 without a fourth field): false at the end.
    bool Next(SamplePoint& point, bool bWeights)
    {
        while (m_lines.Next())
        {
            const std::vector<std::string_view>& aFields = m_lines.GetFields();
            if (aFields.empty())
                continue;
            if (m_lines.GetLineNumber() == 1 && !IsNumber(aFields[0]))
            {
                CheckHeader(aFields);
                continue;
            }
            const size_t nFields = aFields.size();
            if (nFields != 3 && !(bWeights && nFields == 4))
                m_lines.Fail(bWeights ? "a row has theta, phi, value and an optional weight"
                                      : "a row of a grid has theta, phi and value");
            point.dTheta = m_lines.Number(0, "theta");
            point.dPhi = m_lines.Number(1, "phi");
            point.dValue = m_lines.Number(2, "value");
            point.dWeight = nFields == 4 ? m_lines.Number(3, "weight") : 1.0;
            if (point.dTheta < 0.0 || point.dTheta > kPi)
                m_lines.Fail("theta is not in [0, pi]");
            if (!(point.dWeight > 0.0))
                m_lines.Fail("a weight is not above 0");
            return true;
        }
        return false;
    }

    const CTextLines& Lines() const { return m_lines; }

private:
    static bool IsNumber(std::string_view strField)
    {
        return !strField.empty() && (std::isdigit(static_cast<unsigned char>(strField[0])) ||
                                     strField[0] == '-' || strField[0] == '+' || strField[0] == '.');
    }

    void CheckHeader(const std::vector<std::string_view>& aFields) const
    {
        const char* apszNames[] = {"theta", "phi", "value", "weight"};
        bool bNamed = aFields.size() == 3 || aFields.size() == 4;
        for (size_t i = 0; bNamed && i < aFields.size(); ++i)
            bNamed = EqualsIgnoringCase(aFields[i], apszNames[i]);
        if (!bNamed)
            m_lines.Fail("the header is not theta,phi,value or theta,phi,value,weight");
    }

    CTextLines m_lines;
};

}  // namespace

GridValues ReadCsvGridValues(const std::string& strPath, SampleGrid grid)
{
    CValueRows rows(strPath);
    std::vector<double> aTheta, aPhi;
    GridValues values;
    SamplePoint point{};
    while (rows.Next(point, false))
    {
        aTheta.push_back(point.dTheta);
        aPhi.push_back(point.dPhi);
        values.aValues.push_back(point.dValue);
    }
    const std::string strGrid = std::string("a ") + SampleGridName(grid) + " grid";
    if (values.aValues.empty())
        rows.Lines().Fail("no values");
    size_t nP = 1;
    while (nP < aTheta.size() && aTheta[nP] == aTheta[0])
        ++nP;
    const size_t nT = aTheta.size() / nP;
    if (nT * nP != aTheta.size() || nP > INT32_MAX || nT > INT32_MAX)
        ThrowCoefficientError(strPath, 0,
                              std::to_string(aTheta.size()) + " rows are not rings of " + std::to_string(nP) +
                                  " values, the number sharing the first theta");
    values.nT = static_cast<int32_t>(nT);
    values.nP = static_cast<int32_t>(nP);
    const std::vector<double> aGridTheta = GridThetas(grid, values.nT);
    for (size_t k = 0; k < aTheta.size(); ++k)
    {
        const size_t i = k / nP, j = k % nP;
        const double dPhi = SamplePhi(static_cast<int64_t>(j), values.nP);
        if (std::fabs(aTheta[k] - aGridTheta[i]) > kAngleTolerance ||
            std::fabs(aPhi[k] - dPhi) > kAngleTolerance)
            ThrowCoefficientError(strPath, 0,
                                  "the rows are not " + strGrid + " of " + std::to_string(nT) + " x " +
                                      std::to_string(nP) + ": value " + std::to_string(k + 1) +
                                      " is not at ring " + std::to_string(i) + ", column " +
                                      std::to_string(j));
    }
    return values;
}

std::vector<SamplePoint> ReadCsvPoints(const std::string& strPath)
{
    CValueRows rows(strPath);
    std::vector<SamplePoint> aPoints;
    SamplePoint point{};
    while (rows.Next(point, true))
        aPoints.push_back(point);
    if (aPoints.empty())
        rows.Lines().Fail("no points");
    return aPoints;
}
