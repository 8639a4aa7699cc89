#pragma once

#include "engine/ZAAudioInterruptTarget.h"

#include <memory>
#include <vector>

// Fans mute and enable switches out to its members (sources, channels, engines, the manager or other
// groups), which it keeps alive. A member added takes the group's current switches at once.
class ZAAudioInterruptTargetGroup : public ZAAudioInterruptTarget
{
public:
    ZAAudioInterruptTargetGroup();

    void addAudioInterruptTarget(std::shared_ptr<ZAAudioInterruptTarget> target);
    // Removes that very member; a target never added changes nothing.
    void removeAudioInterruptTarget(const ZAAudioInterruptTarget* target);

    void setMute(bool mute) override;
    bool mute() const { return m_mute; }
    void setEnabled(bool enabled) override;
    bool enabled() const { return m_enabled; }

private:
    std::vector<std::shared_ptr<ZAAudioInterruptTarget>> m_children;
    bool m_enabled = true;
    bool m_mute = false;
};
