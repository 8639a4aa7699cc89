#include "engine/ZASoundSourcePanner.h"

#include "engine/ZASoundSource.h"

ZASoundSourcePanner::ZASoundSourcePanner(std::shared_ptr<ZASoundSource> target, int interpolationType,
                                         float startValue, float endValue)
    : ZAPropertyModifier(interpolationType, startValue, endValue), m_target(std::move(target))
{
}

float ZASoundSourcePanner::targetProperty() const
{
    return m_target ? m_target->pan() : 0.0f;
}

void ZASoundSourcePanner::setTargetProperty(float value)
{
    if (m_target)
        m_target->setPan(value);
}

void ZASoundSourcePanner::stopTarget()
{
    if (m_target)
        m_target->stop();
}
