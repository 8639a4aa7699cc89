#pragma once

#include "cocoa/ZTObject.h"

namespace zanth2d {

// A layer's script touch registration; destroying it tells the script engine to drop the handler.
class ZTTouchScriptHandlerEntry : public ZTObject
{
public:
    ~ZTTouchScriptHandlerEntry() override;

    // An autoreleased entry.
    static ZTTouchScriptHandlerEntry* entryWithHandler(int nHandler, bool bIsMultiTouches, int nPriority,
                                                       bool bSwallowsTouches);
    bool initWithHandler(int nHandler, bool bIsMultiTouches, int nPriority, bool bSwallowsTouches);

    int getHandler() const { return m_nHandler; }
    bool isMultiTouches() const { return m_bIsMultiTouches; }
    int getPriority() const { return m_nPriority; }
    bool getSwallowsTouches() const { return m_bSwallowsTouches; }

private:
    int m_nHandler = 0;
    bool m_bIsMultiTouches = false;
    int m_nPriority = 0;
    bool m_bSwallowsTouches = false;
};

} // namespace zanth2d
