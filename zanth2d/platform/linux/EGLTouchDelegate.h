#pragma once

namespace zanth2d {

class ZTSet;
class ZTEvent;

// Receiver of the touch sets the GL view produces from the mouse; the touch dispatcher implements it.
// The event argument is always null on this platform.
class EGLTouchDelegate
{
public:
    virtual ~EGLTouchDelegate() = default;
    virtual void touchesBegan(ZTSet* touches, ZTEvent* event) = 0;
    virtual void touchesMoved(ZTSet* touches, ZTEvent* event) = 0;
    virtual void touchesEnded(ZTSet* touches, ZTEvent* event) = 0;
    virtual void touchesCancelled(ZTSet* touches, ZTEvent* event) = 0;
};

} // namespace zanth2d
