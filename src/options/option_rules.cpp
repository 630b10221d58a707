#include "options/option_rules.h"

#include "export/values_writer.h"
#include "options/option_table.h"
#include "options/orbital_text.h"

namespace {

// The rule's message with the options' names in place of {option} and {other}.
std::string RuleMessage(const OptionRule& rule, const COptionBase& option, const std::string& strOther)
{
    std::string strMessage = rule.pszMessage;
    for (const auto& [strField, strName] : {std::pair<std::string, std::string>{"{option}", option.Name()},
                                            std::pair<std::string, std::string>{"{other}", strOther}})
        for (size_t nAt; (nAt = strMessage.find(strField)) != std::string::npos;)
            strMessage.replace(nAt, strField.size(), strName);
    return strMessage;
}

bool HasNamed(const Request& request, const std::string& strName)
{
    const COptionBase* pOption = FindOption(strName);
    if (pOption == nullptr)
        throw std::logic_error("a rule names no option: " + strName);
    return request.Has(*pOption);
}

void CheckRule(const Request& request, const COptionBase& option, const OptionRule& rule)
{
    switch (rule.kind)
    {
        case OptionRule::Kind::kExcludes:
            if (rule.pCondition ? rule.pCondition(request) : request.Has(option))
                for (const std::string& strOther : rule.aOthers)
                    if (HasNamed(request, strOther))
                        throw RequestError(RuleMessage(rule, option, strOther));
            return;
        case OptionRule::Kind::kNeeds:
            if (!request.Has(option))
                return;
            for (const std::string& strOther : rule.aOthers)
                if (HasNamed(request, strOther))
                    return;
            throw RequestError(RuleMessage(rule, option, rule.aOthers.front()));
        case OptionRule::Kind::kRequires:
            if (request.Has(option) && !rule.pCondition(request))
                throw RequestError(RuleMessage(rule, option, ""));
            return;
    }
}

void CheckGroup(const Request& request, const opt::OptionGroup& group)
{
    int nGiven = 0;
    for (const std::vector<const COptionBase*>& aMember : group.aMembers)
        for (const COptionBase* pOption : aMember)
            if (request.Has(*pOption))
            {
                ++nGiven;
                break;
            }
    if (nGiven > 1)
        throw RequestError(group.pszMessage);
}

}  // namespace

bool AsksForHydrogen(const Request& request)
{
    int32_t n = 0;
    std::string strRest;
    const std::string* pOrbital = request.Find(opt::kOrbital);
    return request.Has(opt::kHydrogen) || (pOrbital && SplitPrincipal(*pOrbital, n, strRest));
}

bool MapsOwnGrid(const Request& request)
{
    const std::string* pAnalyze = request.Find(opt::kAnalyze);
    return request.Has(opt::kMap) && !(pAnalyze && ValuesFormatOf(*pAnalyze) == ValuesFormat::kRaw);
}

bool ShellWithTable(const Request& request)
{
    const HydrogenNumbers* pNumbers = request.Find(opt::kHydrogen);
    return !(pNumbers && pNumbers->bWholeShell) || request.Has(opt::kTable);
}

void CheckOptionRules(const Request& request)
{
    CheckGroup(request, opt::kFieldSources);
    for (const COptionBase* pOption : AllOptions())
        for (const OptionRule& rule : pOption->Rules())
            CheckRule(request, *pOption, rule);
}
