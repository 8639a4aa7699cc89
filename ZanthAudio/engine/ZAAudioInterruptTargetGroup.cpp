#include "engine/ZAAudioInterruptTargetGroup.h"

#include <algorithm>

ZAAudioInterruptTargetGroup::ZAAudioInterruptTargetGroup()
{
    m_children.reserve(32);
}

void ZAAudioInterruptTargetGroup::addAudioInterruptTarget(std::shared_ptr<ZAAudioInterruptTarget> target)
{
    if (!target)
        return;
    target->setMute(m_mute);
    target->setEnabled(m_enabled);
    m_children.push_back(std::move(target));
}

void ZAAudioInterruptTargetGroup::removeAudioInterruptTarget(const ZAAudioInterruptTarget* target)
{
    const auto found = std::find_if(m_children.begin(), m_children.end(),
                                    [target](const auto& child) { return child.get() == target; });
    if (found != m_children.end())
        m_children.erase(found);
}

void ZAAudioInterruptTargetGroup::setMute(bool mute)
{
    if (mute == m_mute)
        return;
    m_mute = mute;
    for (const auto& child : m_children)
        child->setMute(mute);
}

void ZAAudioInterruptTargetGroup::setEnabled(bool enabled)
{
    if (enabled == m_enabled)
        return;
    m_enabled = enabled;
    for (const auto& child : m_children)
        child->setEnabled(enabled);
}
