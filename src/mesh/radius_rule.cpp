#include "mesh/radius_rule.h"

#include <charconv>

#include "names/named_values.h"

namespace {

constexpr NamedValue<RadiusKind> kRadiusNames[] = {
    {"abs", RadiusKind::kAbs},
    {"square", RadiusKind::kSquare},
    {"one", RadiusKind::kOne},
    {"offset", RadiusKind::kOffset},
};

}  // namespace

std::optional<RadiusRule> RadiusRuleNamed(const std::string& strName)
{
    const size_t nColon = strName.find(':');
    RadiusRule rule;
    if (!FindNamed(kRadiusNames, strName.substr(0, nColon), rule.kind))
        return std::nullopt;
    if (nColon == std::string::npos)
        return rule;
    const char* pBegin = strName.data() + nColon + 1;
    const char* pEnd = strName.data() + strName.size();
    if (rule.kind != RadiusKind::kOffset || pBegin == pEnd || *pBegin == '-')
        return std::nullopt;
    if (*pBegin == '+' && pBegin + 1 != pEnd && pBegin[1] != '-')
        ++pBegin;
    const auto result = std::from_chars(pBegin, pEnd, rule.dOffset);
    if (result.ec != std::errc() || result.ptr != pEnd || !(rule.dOffset > 0.0 && rule.dOffset <= kMaxOffset))
        return std::nullopt;
    return rule;
}
