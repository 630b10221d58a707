#pragma once

#include <cstdint>
#include <string>

// The rule for a dialog's integer field. Only the first 31 characters count; leading blanks
// and tabs are skipped; an optional sign and decimal digits follow, a magnitude beyond 32 bits
// giving 2147483647 (-2147483648 with "-"); a value of 0 must be spelled with a leading "0"
// (so "", "+", "+0" and "-0" fail); and only blanks and tabs may follow the number.
// Returns false when the text fails; nValue is written only on success.
bool ParseIntegerField(const std::u32string& strText, int32_t& nValue);

// How an integer field shows its value: decimal, "-" for negatives, nothing else.
std::u32string FormatIntegerField(int32_t nValue);
