#pragma once
// A 5 x 7 pixel font for the contact sheet's captions: digits, capitals (lower case is shown as
// capitals) and a few signs; other characters show as blanks.

#include "LICE_IBitmap.h"

namespace orx::artwork
{

// Draws text with its top-left corner at (x, y), each font pixel scale x scale pixels, and
// answers the width drawn.
int DrawSheetText(LICE_IBitmap* bitmap, int x, int y, const char* text, LICE_pixel colour,
                  int scale = 1);

} // namespace orx::artwork
