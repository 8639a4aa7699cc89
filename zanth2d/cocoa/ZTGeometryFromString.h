#pragma once

#include "cocoa/ZTGeometry.h"

namespace zanth2d {

// Readers of the brace notation that property lists use. Malformed text (null included) gives the zero
// value; numbers are read with atof, so leading blanks are skipped and trailing garbage ignored.

// "{x,y}"
ZTPoint ZTPointFromString(const char* pszContent);
// "{width,height}"
ZTSize ZTSizeFromString(const char* pszContent);
// "{{x,y},{width,height}}"; a negative or NaN width or height also gives the zero rectangle.
ZTRect ZTRectFromString(const char* pszContent);

} // namespace zanth2d
