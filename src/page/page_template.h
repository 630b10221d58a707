#pragma once

#include <string_view>

// The HTML, JavaScript and GLSL of the page (data/page.html), embedded at build time. Its one
// line "@PAGE_DATA@" is where the writer puts the content.
std::string_view PageTemplate();
