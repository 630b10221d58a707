#include "options/option.h"

namespace {

std::vector<const COptionBase*>& Registry()
{
    static std::vector<const COptionBase*> aOptions;
    return aOptions;
}

}  // namespace

COptionBase::COptionBase(const OptionText& text, std::vector<OptionRule> aRules, bool bRepeatable,
                         bool bValueOptional)
    : m_strNames(text.pszNames),
      m_strName(m_strNames.substr(m_strNames.rfind(',') + 1)),
      m_strForm(text.strForm),
      m_help(text.help),
      m_aRules(std::move(aRules)),
      m_bRepeatable(bRepeatable),
      m_bValueOptional(bValueOptional),
      m_nIndex(Registry().size())
{
    Registry().push_back(this);
}

const std::vector<const COptionBase*>& AllOptions()
{
    return Registry();
}

const COptionBase* FindOption(const std::string& strName)
{
    for (const COptionBase* pOption : Registry())
        for (size_t nStart = 0; nStart <= pOption->Names().size();)
        {
            size_t nEnd = pOption->Names().find(',', nStart);
            if (nEnd == std::string::npos)
                nEnd = pOption->Names().size();
            if (pOption->Names().compare(nStart, nEnd - nStart, strName) == 0)
                return pOption;
            nStart = nEnd + 1;
        }
    return nullptr;
}

COption<bool>::Declaration DeclareFlag(const char* pszNames, const char* pszHelp)
{
    return Declare<bool>(
        OptionText{pszNames, "", pszHelp},
        ValueForm<bool>{[](const std::string&, const std::string&) { return true; }, {}, {}});
}
