#pragma once

namespace zanth2d {

// Receives the keypad's back and menu messages. The implementer must also be a ZTObject: handlers
// retain it through that side.
class ZTKeypadDelegate
{
public:
    virtual ~ZTKeypadDelegate() = default;
    virtual void keyBackClicked() {}
    virtual void keyMenuClicked() {}
};

} // namespace zanth2d
