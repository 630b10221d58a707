#pragma once

#include <string>

#include "picture/picture.h"
#include "text/picture_text.h"

// Draws the text turned a quarter turn anticlockwise, read from the bottom up (as the title of a
// plot's vertical axis), its box centred on (dX, dY) in pixels from the picture's top left.
void DrawUpwardText(Picture& picture, const std::string& strText, const TextStyle& style, double dX,
                    double dY);
