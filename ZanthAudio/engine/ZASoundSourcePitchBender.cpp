#include "engine/ZASoundSourcePitchBender.h"

#include "engine/ZASoundSource.h"

ZASoundSourcePitchBender::ZASoundSourcePitchBender(std::shared_ptr<ZASoundSource> target,
                                                   int interpolationType, float startValue, float endValue)
    : ZAPropertyModifier(interpolationType, startValue, endValue), m_target(std::move(target))
{
}

float ZASoundSourcePitchBender::targetProperty() const
{
    return m_target ? m_target->pitch() : 0.0f;
}

void ZASoundSourcePitchBender::setTargetProperty(float value)
{
    if (m_target)
        m_target->setPitch(value);
}

void ZASoundSourcePitchBender::stopTarget()
{
    if (m_target)
        m_target->stop();
}
