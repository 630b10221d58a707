#pragma once

#include <string>

#include "page/page_content.h"

// The text of one self-contained HTML page that draws the content's surface with WebGL and lets
// it be turned, panned and zoomed: the page template with the content as JSON, the samples and
// colours as base64 and the pictures as data: URLs. It asks for nothing over the network.
std::string PageText(const PageContent& content);
