#pragma once

#include <string>

#include "cocoa/ZTObject.h"

namespace zanth2d {

// Reference-counted text: dictionary values and property-list leaves.
class ZTString : public ZTObject
{
public:
    ZTString() = default;
    explicit ZTString(std::string text) : m_sString(std::move(text)) {}

    // An autoreleased string holding text.
    static ZTString* stringWithString(const std::string& text);

    // True only for another ZTString with the same bytes.
    bool isEqual(const ZTObject* pObject) const override;

    const std::string& getString() const { return m_sString; }
    const char* getCString() const { return m_sString.c_str(); }

    std::string m_sString;
};

} // namespace zanth2d
