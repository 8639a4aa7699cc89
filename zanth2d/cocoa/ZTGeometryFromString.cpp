#include "cocoa/ZTGeometryFromString.h"

#include <cstdlib>
#include <string>

namespace zanth2d {

namespace {

// Splits "{a,b}" into its two non-empty parts. Only the text between the first "{" and the first "}"
// counts, and it must hold no further brace.
bool splitWithForm(const std::string& content, std::string& first, std::string& second)
{
    if (content.empty()) {
        return false;
    }
    const std::size_t posLeft = content.find('{');
    const std::size_t posRight = content.find('}');
    if (posLeft == std::string::npos || posRight == std::string::npos || posRight < posLeft) {
        return false;
    }
    const std::string pair = content.substr(posLeft + 1, posRight - posLeft - 1);
    if (pair.empty() || pair.find_first_of("{}") != std::string::npos) {
        return false;
    }
    const std::size_t comma = pair.find(',');
    if (comma == std::string::npos || pair.find(',', comma + 1) != std::string::npos) {
        return false;
    }
    first = pair.substr(0, comma);
    second = pair.substr(comma + 1);
    return !first.empty() && !second.empty();
}

float toFloat(const std::string& text)
{
    return static_cast<float>(std::atof(text.c_str()));
}

} // namespace

ZTPoint ZTPointFromString(const char* pszContent)
{
    std::string x, y;
    if (!pszContent || !splitWithForm(pszContent, x, y)) {
        return ZTPointZero;
    }
    return ZTPoint(toFloat(x), toFloat(y));
}

ZTSize ZTSizeFromString(const char* pszContent)
{
    std::string width, height;
    if (!pszContent || !splitWithForm(pszContent, width, height)) {
        return ZTSizeZero;
    }
    return ZTSize(toFloat(width), toFloat(height));
}

ZTRect ZTRectFromString(const char* pszContent)
{
    if (!pszContent) {
        return ZTRectZero;
    }
    const std::string content(pszContent);

    // The outer pair runs from the first "{" to the third "}" after it.
    const std::size_t posLeft = content.find('{');
    if (posLeft == std::string::npos) {
        return ZTRectZero;
    }
    std::size_t posRight = content.find('}', posLeft);
    for (int i = 0; i < 2 && posRight != std::string::npos; ++i) {
        posRight = content.find('}', posRight + 1);
    }
    if (posRight == std::string::npos) {
        return ZTRectZero;
    }
    const std::string inner = content.substr(posLeft + 1, posRight - posLeft - 1);

    const std::size_t pointEnd = inner.find('}');
    if (pointEnd == std::string::npos) {
        return ZTRectZero;
    }
    const std::size_t comma = inner.find(',', pointEnd);
    if (comma == std::string::npos) {
        return ZTRectZero;
    }

    std::string x, y, width, height;
    if (!splitWithForm(inner.substr(0, comma), x, y) ||
        !splitWithForm(inner.substr(comma + 1), width, height)) {
        return ZTRectZero;
    }
    const float w = toFloat(width);
    const float h = toFloat(height);
    if (!(w >= 0 && h >= 0)) {
        return ZTRectZero;
    }
    return ZTRect(toFloat(x), toFloat(y), w, h);
}

} // namespace zanth2d
