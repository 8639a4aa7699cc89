#pragma once

// Anything that can be muted and switched off as a whole: sources, channels, engines, the manager and
// interrupt groups.
class ZAAudioInterruptTarget
{
public:
    virtual ~ZAAudioInterruptTarget() = default;
    virtual void setMute(bool mute) = 0;
    virtual void setEnabled(bool enabled) = 0;
};
