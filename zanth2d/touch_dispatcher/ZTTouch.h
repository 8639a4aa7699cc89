#pragma once

#include "cocoa/ZTGeometry.h"
#include "cocoa/ZTObject.h"

namespace zanth2d {

// One finger (here: the mouse) in view points, origin at the top left. The platform view reuses one
// touch for every press.
class ZTTouch : public ZTObject
{
public:
    ZTPoint locationInView() const { return m_point; }
    ZTPoint previousLocationInView() const { return m_prevPoint; }

    // Moves the touch: the current location becomes the previous one.
    void setTouchInfo(float x, float y)
    {
        m_prevPoint = m_point;
        m_point = ZTPoint(x, y);
    }

private:
    ZTPoint m_point;
    ZTPoint m_prevPoint;
};

} // namespace zanth2d
