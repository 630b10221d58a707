#pragma once

#include <any>
#include <optional>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "options/option.h"

// The values that stand for "none given" by themselves: false, an empty name, an empty list.
template <typename T>
constexpr bool kEmptyByDefault = std::is_same_v<T, bool> || std::is_same_v<T, std::string>;
template <typename T>
constexpr bool kEmptyByDefault<std::vector<T>> = true;

// Everything one run asks for, as a front end was told it: the value of each option given, by
// the option (options/option_table.h). No value is text of a command line; a front end reads its
// own words into these values. An option left out has no value, and the plan chooses its
// default then: the declared one (Value) or one that depends on the rest of the request.
class Request
{
public:
    bool Has(const COptionBase& option) const
    {
        return option.Index() < m_aValues.size() && m_aValues[option.Index()].has_value();
    }

    // The value given, or nullptr.
    template <typename T>
    const T* Find(const COption<T>& option) const
    {
        return Has(option) ? std::any_cast<T>(&m_aValues[option.Index()]) : nullptr;
    }

    template <typename T>
    std::optional<T> Get(const COption<T>& option) const
    {
        const T* pValue = Find(option);
        return pValue ? std::optional<T>(*pValue) : std::nullopt;
    }

    // The value given, else the declared default; a flag's is false, a name's and a list's empty.
    // An option of another kind that declares none has no value to give (std::logic_error).
    template <typename T>
    T Value(const COption<T>& option) const
    {
        if (const T* pValue = Find(option))
            return *pValue;
        if (option.Default())
            return *option.Default();
        if constexpr (kEmptyByDefault<T>)
            return T{};
        else
            throw std::logic_error(option.Name() + " has no default");
    }

    template <typename T>
    void Set(const COption<T>& option, T value)
    {
        if (m_aValues.size() <= option.Index())
            m_aValues.resize(option.Index() + 1);
        m_aValues[option.Index()] = std::move(value);
    }

    // Adds an item to a list option's values.
    template <typename T>
    void Add(const CListOption<T>& option, T item)
    {
        std::vector<T> aItems;
        if (const std::vector<T>* pItems = Find<std::vector<T>>(option))
            aItems = *pItems;
        aItems.push_back(std::move(item));
        Set<std::vector<T>>(option, std::move(aItems));
    }

    void Clear(const COptionBase& option)
    {
        if (option.Index() < m_aValues.size())
            m_aValues[option.Index()].reset();
    }

private:
    std::vector<std::any> m_aValues;  // by the options' indices
};

template <typename T>
void COption<T>::Apply(const std::string& strText, Request& request) const
{
    request.Set(*this, m_form.read(Name(), strText));
}

template <typename T>
void CListOption<T>::Apply(const std::string& strText, Request& request) const
{
    request.Add(*this, m_item.read(this->Name(), strText));
}
