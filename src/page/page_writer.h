#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "page/page_content.h"

// What a browser opens: the samples the page builds its surface from in the browser's memory
// (about 200 MB of WebGL buffers and arrays), and the size of the page itself (JavaScript's
// strings, which its data is parsed from, hold at most 2^29 - 24 characters, and the parsing
// holds copies).
constexpr int64_t kPageMaxSamples = int64_t{1} << 21;
constexpr size_t kPageMaxBytes = size_t{1} << 28;

// Throws std::runtime_error, one line naming the limit, for a page of nThetaDiv x nPhiDiv samples
// beyond kPageMaxSamples: the page would open blank.
void CheckPageSamples(int64_t nThetaDiv, int64_t nPhiDiv);

// The text of one self-contained HTML page that draws the content's surface with WebGL and lets
// it be turned, panned and zoomed: the page template with the content as JSON, the samples and
// colours as base64 and the pictures as data: URLs. It asks for nothing over the network.
// Throws as CheckPageSamples for a grid beyond the limit, and std::runtime_error, one line, for
// a page beyond kPageMaxBytes (a boundary surface of very many triangles).
std::string PageText(const PageContent& content);
