#include "fields/coefficient_file.h"

#include <cstdio>
#include <string_view>
#include <vector>

#include "fields/coefficient_file_names.h"
#include "fields/coefficient_formats.h"
#include "fields/coefficient_input.h"
#include "fields/coefficient_text.h"

namespace {

using CoefficientReader = CoefficientFile (*)(const std::string&, int32_t);

// The readers without an epoch, for ICGEM files and IGRF's tables as chosen by content;
// ReadCoefficientFile gives them theirs.
CoefficientFile ReadIcgemWithoutEpoch(const std::string& strPath, int32_t nMaxDegree)
{
    return ReadIcgemFile(strPath, nMaxDegree, std::nullopt);
}

CoefficientFile ReadIgrfWithoutEpoch(const std::string& strPath, int32_t nMaxDegree)
{
    return ReadIgrfFile(strPath, nMaxDegree, std::nullopt);
}

// Refuses what no format reads: no file, a folder, a device or pipe (as the opening does), an
// empty or compressed file.
void CheckFile(const std::string& strPath)
{
    const FilePointer pFile = OpenCoefficientFile(strPath);
    unsigned char acStart[4] = {};
    const size_t nRead = std::fread(acStart, 1, sizeof acStart, pFile.get());
    if (nRead == 0)
        ThrowCoefficientError(strPath, 0, "the file is empty");
    if (nRead >= 2 && acStart[0] == 0x1F && acStart[1] == 0x8B)
        ThrowCoefficientError(strPath, 0, "the file is gzip-compressed: unpack it first");
    if (nRead == 4 && acStart[0] == 'P' && acStart[1] == 'K' && acStart[2] == 3 && acStart[3] == 4)
        ThrowCoefficientError(strPath, 0, "the file is a zip archive: unpack it first");
}

// A text file is ICGEM when a line begins with `begin_of_head` or `end_of_head`, IGRF's table when
// one begins with `c/s` or `g/h` (the heads of its columns); dov when its
// first row has three numbers, or four with a negative order in any row (shtools orders are
// never negative); shtools otherwise.
CoefficientReader ChooseTextReader(const std::string& strPath)
{
    CTextLines lines(strPath);
    size_t nFirstRowFields = 0;
    while (lines.Next())
    {
        const std::vector<std::string_view>& aFields = lines.GetFields();
        if (aFields.empty())
            continue;
        if (EqualsIgnoringCase(aFields[0], "begin_of_head") || EqualsIgnoringCase(aFields[0], "end_of_head"))
            return ReadIcgemWithoutEpoch;
        if (aFields[0] == "c/s" || aFields[0] == "g/h")
            return ReadIgrfWithoutEpoch;
        if (!IsRow(aFields))
            continue;
        if (nFirstRowFields == 0)
            nFirstRowFields = aFields.size();
        if (nFirstRowFields == 3 || (nFirstRowFields == 4 && aFields[1][0] == '-'))
            return ReadDovFile;
        if (nFirstRowFields != 4)
            return ReadShtoolsFile;
    }
    return ReadShtoolsFile;
}

}  // namespace

CoefficientFile ReadCoefficientFile(const std::string& strPath, int32_t nMaxDegree,
                                    const std::optional<double>& epoch)
{
    CheckFile(strPath);
    switch (CoefficientFormatByName(strPath))
    {
        case CoefficientNameFormat::kIcgem:
            return ReadIcgemFile(strPath, nMaxDegree, epoch);
        case CoefficientNameFormat::kBshc:
            return ReadBshcFile(strPath, nMaxDegree);
        case CoefficientNameFormat::kWmm:
            return ReadWmmFile(strPath, nMaxDegree, epoch);
        case CoefficientNameFormat::kFitsAlm:
            return ReadFitsAlmFile(strPath, nMaxDegree);
        case CoefficientNameFormat::kText:
            break;
    }
    const CoefficientReader read = ChooseTextReader(strPath);
    if (read == ReadIcgemWithoutEpoch)
        return ReadIcgemFile(strPath, nMaxDegree, epoch);
    if (read == ReadIgrfWithoutEpoch)
        return ReadIgrfFile(strPath, nMaxDegree, epoch);
    return read(strPath, nMaxDegree);
}

void TakeHeaderConstants(const std::vector<double>& aNumbers, CoefficientFile& file)
{
    if (!aNumbers.empty() && aNumbers[0] > 0.0)
        file.header.dRadius = aNumbers[0];
    if (aNumbers.size() >= 3 && aNumbers[1] > 0.0)
        file.header.dGm = aNumbers[1];
}
