#pragma once

#include <cstddef>
#include <string>

// The base64 text of nBytes bytes (RFC 4648, the standard alphabet, padded with '='), as a
// data: URL and JavaScript's atob read it.
std::string Base64(const void* pData, size_t nBytes);
