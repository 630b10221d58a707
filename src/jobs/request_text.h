#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "jobs/request.h"
#include "jobs/request_error.h"
#include "jobs/value_text.h"
#include "names/named_values.h"

// How a front end that takes text reads one item of a request: the reader applies the value, as
// text, to the request, and throws RequestError naming the item (strName, as lobara-render's
// option) when it is not one.
using ApplyText = std::function<void(const std::string&, Request&)>;

// A whole number within [nMin, nMax] into the member.
template <typename T>
ApplyText Integer(const char* pszName, T Request::*pMember, long long nMin, long long nMax)
{
    return [=](const std::string& v, Request& r) { r.*pMember = ParseInt32(pszName, v, nMin, nMax); };
}

// One of an enumeration's names into the member.
template <typename T>
ApplyText Named(const char* pszName, bool (*find)(const std::string&, T&),
                std::vector<std::string> (*names)(), std::optional<T> Request::*pMember)
{
    return [=](const std::string& v, Request& r) {
        T value{};
        if (!find(v, value))
            throw RequestError(std::string(pszName) + " needs " + OneOf(names()) + ", not '" + v + "'");
        r.*pMember = value;
    };
}

// A file name, not empty, into the member.
inline ApplyText FilePath(const char* pszName, std::string Request::*pMember)
{
    return [=](const std::string& v, Request& r) { r.*pMember = NonEmptyPath(pszName, v); };
}
