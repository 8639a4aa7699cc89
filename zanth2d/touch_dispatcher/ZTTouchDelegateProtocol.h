#pragma once

namespace zanth2d {

class ZTEvent;
class ZTSet;
class ZTTouch;

// Receiver of touches from the touch dispatcher. The implementer must also be a ZTObject: handlers
// retain it through that side. A targeted delegate gets the single-touch calls and claims a touch by
// returning true from ztTouchBegan; a standard delegate gets the set calls. The event is always null here.
class ZTTouchDelegate
{
public:
    virtual ~ZTTouchDelegate() = default;

    virtual bool ztTouchBegan(ZTTouch*, ZTEvent*) { return false; }
    virtual void ztTouchMoved(ZTTouch*, ZTEvent*) {}
    virtual void ztTouchEnded(ZTTouch*, ZTEvent*) {}
    virtual void ztTouchCancelled(ZTTouch*, ZTEvent*) {}

    virtual void ztTouchesBegan(ZTSet*, ZTEvent*) {}
    virtual void ztTouchesMoved(ZTSet*, ZTEvent*) {}
    virtual void ztTouchesEnded(ZTSet*, ZTEvent*) {}
    virtual void ztTouchesCancelled(ZTSet*, ZTEvent*) {}
};

} // namespace zanth2d
