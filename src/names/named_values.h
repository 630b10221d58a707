#pragma once

#include <cstddef>
#include <string>
#include <vector>

// The words that name the values of an enumeration, as options, files and messages spell them:
// one table per enumeration, from which its lookups and its lists of names are made.
template <typename T>
struct NamedValue
{
    const char* pszName;
    T value;
};

// The value named strName; false, with value untouched, when no entry has that name.
template <typename T, size_t N>
bool FindNamed(const NamedValue<T> (&aTable)[N], const std::string& strName, T& value)
{
    for (const NamedValue<T>& entry : aTable)
        if (strName == entry.pszName)
        {
            value = entry.value;
            return true;
        }
    return false;
}

// The name of value; empty when no entry has it.
template <typename T, size_t N>
const char* NameOf(const NamedValue<T> (&aTable)[N], T value)
{
    for (const NamedValue<T>& entry : aTable)
        if (entry.value == value)
            return entry.pszName;
    return "";
}

// Every name, in the table's order.
template <typename T, size_t N>
std::vector<std::string> NamesOf(const NamedValue<T> (&aTable)[N])
{
    std::vector<std::string> aNames;
    for (const NamedValue<T>& entry : aTable)
        aNames.emplace_back(entry.pszName);
    return aNames;
}

// The names for a message: "a", "a or b", "a, b or c".
inline std::string OneOf(const std::vector<std::string>& aNames)
{
    std::string strText;
    for (size_t i = 0; i < aNames.size(); ++i)
        strText += (i == 0 ? "" : i + 1 == aNames.size() ? " or " : ", ") + aNames[i];
    return strText;
}
