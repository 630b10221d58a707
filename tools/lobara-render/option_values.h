#pragma once

#include <cstdint>
#include <string>

// Strict readers of option values, the same whatever the locale. Each throws UsageError with a
// one-line message naming the option.

// The whole text one decimal integer within [nMin, nMax], with an optional sign.
int32_t ParseInt32(const std::string& strName, const std::string& strText, long long nMin = INT32_MIN,
                   long long nMax = INT32_MAX);

// "X,Y,Z": three finite decimal numbers.
void ParsePoint(const std::string& strName, const std::string& strText, double point[3]);

// "WxH", each side from 1 to nMaxSide pixels.
void ParseSize(const std::string& strName, const std::string& strText, int nMaxSide, int& nWidth,
               int& nHeight);

std::string NonEmptyPath(const std::string& strName, const std::string& strText);
