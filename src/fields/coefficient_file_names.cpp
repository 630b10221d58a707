#include "fields/coefficient_file_names.h"

#include "fields/coefficient_text.h"

bool HasExtension(const std::string& strPath, std::string_view strExtension)
{
    return strPath.size() > strExtension.size() &&
           EqualsIgnoringCase(std::string_view(strPath).substr(strPath.size() - strExtension.size()),
                              strExtension);
}

CoefficientNameFormat CoefficientFormatByName(const std::string& strPath)
{
    if (HasExtension(strPath, ".gfc"))
        return CoefficientNameFormat::kIcgem;
    if (HasExtension(strPath, ".bshc"))
        return CoefficientNameFormat::kBshc;
    if (HasExtension(strPath, ".fits"))
        return CoefficientNameFormat::kFitsAlm;
    if (HasExtension(strPath, ".cof"))
        return CoefficientNameFormat::kWmm;
    return CoefficientNameFormat::kText;
}
