#include "export/cube_writer.h"

#include <cstdio>

#include "export/values_writer.h"

namespace {

// The line up to its first line break.
std::string OneLine(const std::string& strText)
{
    return strText.substr(0, strText.find_first_of("\r\n"));
}

// "%5d" and then each number after a space.
std::string HeaderLine(int32_t n, const std::vector<double>& aNumbers)
{
    char acCount[16];
    std::snprintf(acCount, sizeof acCount, "%5d", n);
    std::string strLine = acCount;
    for (const double d : aNumbers)
        strLine += ' ' + DecimalText(d);
    return strLine + '\n';
}

}  // namespace

void WriteCube(COutputStream& stream, const CubeHeader& header, const std::vector<double>& aValues)
{
    stream.Write(OneLine(header.strTitle) + '\n' + OneLine(header.strComment) + '\n');
    const std::array<double, 3>& o = header.aOrigin;
    stream.Write(HeaderLine(static_cast<int32_t>(header.aAtoms.size()), {o[0], o[1], o[2]}));
    for (int nAxis = 0; nAxis < 3; ++nAxis)
    {
        const std::array<double, 3>& s = header.aaStep[nAxis];
        stream.Write(HeaderLine(header.anCount[nAxis], {s[0], s[1], s[2]}));
    }
    for (const CubeHeader::Atom& atom : header.aAtoms)
        stream.Write(HeaderLine(atom.nNumber,
                                {atom.dCharge, atom.aPosition[0], atom.aPosition[1], atom.aPosition[2]}));
    const auto nRun = static_cast<size_t>(header.anCount[2]);
    std::string strLine;
    for (size_t k = 0; k < aValues.size(); ++k)
    {
        char acValue[32];
        std::snprintf(acValue, sizeof acValue, " %.16E", aValues[k]);
        strLine += acValue;
        const size_t nInRun = k % nRun + 1;
        if (nInRun % 6 == 0 || nInRun == nRun)
        {
            strLine += '\n';
            stream.Write(strLine);
            strLine.clear();
        }
    }
}
