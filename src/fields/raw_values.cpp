#include "fields/raw_values.h"

#include <cstdio>
#include <vector>

#include "fields/coefficient_input.h"

GridValues ReadRawValues(const std::string& strPath, int32_t nT, int32_t nP)
{
    const FilePointer pFile = OpenCoefficientFile(strPath);
    GridValues values{nT, nP, {}};
    const size_t nCount = static_cast<size_t>(nT) * static_cast<size_t>(nP);
    // The size is checked before anything is allocated for it.
    long nSize = -1;
    if (std::fseek(pFile.get(), 0, SEEK_END) == 0)
        nSize = std::ftell(pFile.get());
    if (nSize < 0)
        ThrowCoefficientError(strPath, 0, "cannot find the size of the file");
    // As a count of values from the file's bytes: a product of the sizes holds in 64 bits, 8 times
    // it need not.
    if (nSize % 8 != 0 || static_cast<size_t>(nSize) / 8 != nCount)
        ThrowCoefficientError(strPath, 0,
                              std::to_string(nSize) + " bytes are not " + std::to_string(nT) + " x " +
                                  std::to_string(nP) + " doubles (" + std::to_string(nCount) +
                                  " of 8 bytes)");
    std::vector<unsigned char> abData(8 * nCount);
    if (std::fseek(pFile.get(), 0, SEEK_SET) != 0 ||
        std::fread(abData.data(), 1, abData.size(), pFile.get()) != abData.size())
        ThrowCoefficientError(strPath, 0, "the values are cut short");
    values.aValues = DecodeDoubles(abData.data(), nCount);
    CheckFiniteValues(strPath, values);
    return values;
}
