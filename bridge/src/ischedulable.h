#pragma once

// An object the fixed-step scheduler advances. Clients derive from their QML item base first and from this
// second, schedule themselves when they start and unschedule themselves before they are destroyed.
class ISchedulable
{
public:
    virtual ~ISchedulable() = default;
    // One fixed step of dt seconds.
    virtual void scheduledUpdate(double dt) = 0;
};
