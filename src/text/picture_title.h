#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "picture/picture.h"

// The title of a picture: one centred line (or more, at line breaks) at the top, 1.5 times the
// picture's text size, smaller where it would not fit the width.

// The colour that text takes on a background: white on black, black on white and on nothing.
std::array<uint8_t, 4> TextColourOn(Background background);

// The height from the picture's top that the title takes, with its margins; 0 for no title.
int TitleHeight(const std::string& strTitle, int nWidth, int nHeight);

// Draws strTitle (valid UTF-8; nothing when empty) at the top of the picture.
void DrawTitle(Picture& picture, const std::string& strTitle, Background background);
