#pragma once

#include <cstddef>
#include <string>
#include <vector>

// The words that name the values of an enumeration, as options, files and messages spell them:
// one table per enumeration, from which its lookups, its lists of names and the help's
// description of each value are made.
template <typename T>
struct NamedValue
{
    const char* pszName;
    T value;
    const char* pszWhat = nullptr;  // what the value means, for a help text; none for a plain name
};

// A table of names passed as one value, for code that takes any enumeration's (the options).
template <typename T>
struct NamedValues
{
    const NamedValue<T>* pFirst;
    size_t nCount;

    const NamedValue<T>* begin() const { return pFirst; }
    const NamedValue<T>* end() const { return pFirst + nCount; }
};

template <typename T, size_t N>
constexpr NamedValues<T> AllNamed(const NamedValue<T> (&aTable)[N])
{
    return NamedValues<T>{aTable, N};
}

// The value named strName; false, with value untouched, when no entry has that name.
template <typename Table, typename T>
bool FindNamed(const Table& aTable, const std::string& strName, T& value)
{
    for (const auto& entry : aTable)
        if (strName == entry.pszName)
        {
            value = entry.value;
            return true;
        }
    return false;
}

// The name of value; empty when no entry has it.
template <typename Table, typename T>
const char* NameOf(const Table& aTable, const T& value)
{
    for (const auto& entry : aTable)
        if (entry.value == value)
            return entry.pszName;
    return "";
}

// Every name, in the table's order.
template <typename Table>
std::vector<std::string> NamesOf(const Table& aTable)
{
    std::vector<std::string> aNames;
    for (const auto& entry : aTable)
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

// Every name for a help text, each with what it means where the table says: "a (what a), b or c".
template <typename Table>
std::string DescribedNames(const Table& aTable)
{
    std::vector<std::string> aNames;
    for (const auto& entry : aTable)
        aNames.push_back(entry.pszWhat ? std::string(entry.pszName) + " (" + entry.pszWhat + ")"
                                       : entry.pszName);
    return OneOf(aNames);
}
