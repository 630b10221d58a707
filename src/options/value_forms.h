#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "names/named_values.h"
#include "options/option.h"
#include "options/request_error.h"

// The forms of the options' values that several options share: each reads with the strict
// readers of options/value_text.h and shows a default as the option would take it.

// A whole number from nMin to nMax.
ValueForm<int32_t> IntegerIn(long long nMin, long long nMax);

// A number above 0 and at most 1e30.
ValueForm<double> PositiveNumber();

// One finite number; strForm names it in the message ("H").
ValueForm<double> Number(const char* pszForm);

// A file name, not empty.
ValueForm<std::string> FileName();

// "X,Y,Z".
ValueForm<std::array<double, 3>> Point();

// "WxH", each side from 1 to nMaxSide.
ValueForm<std::array<int, 2>> Size(int nMaxSide);

// Any value a reader of its own reads; no default shown.
template <typename T>
ValueForm<T> ReadBy(T (*read)(const std::string& strName, const std::string& strText))
{
    return ValueForm<T>{read, {}, {}};
}

// One of the names of an enumeration's table.
template <typename T>
ValueForm<T> NamedIn(NamedValues<T> values)
{
    return ValueForm<T>{
        [values](const std::string& strName, const std::string& strText) {
            T value{};
            if (!FindNamed(values, strText, value))
                throw RequestError(strName + " needs " + OneOf(NamesOf(values)) + ", not '" + strText + "'");
            return value;
        },
        [values](const T& value) { return std::string(NameOf(values, value)); },
        [values] { return NamesOf(values); }};
}
