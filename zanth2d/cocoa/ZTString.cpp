#include "cocoa/ZTString.h"

namespace zanth2d {

ZTString* ZTString::stringWithString(const std::string& text)
{
    auto* pString = new ZTString(text);
    pString->autorelease();
    return pString;
}

bool ZTString::isEqual(const ZTObject* pObject) const
{
    const auto* pOther = dynamic_cast<const ZTString*>(pObject);
    return pOther && pOther->m_sString == m_sString;
}

} // namespace zanth2d
