#include "engine/ZASoundSourceFader.h"

#include "engine/ZASoundSource.h"

ZASoundSourceFader::ZASoundSourceFader(std::shared_ptr<ZASoundSource> target, int interpolationType,
                                       float startValue, float endValue)
    : ZAPropertyModifier(interpolationType, startValue, endValue), m_target(std::move(target))
{
}

float ZASoundSourceFader::targetProperty() const
{
    return m_target ? m_target->gain() : 0.0f;
}

void ZASoundSourceFader::setTargetProperty(float value)
{
    if (m_target)
        m_target->setGain(value);
}

void ZASoundSourceFader::stopTarget()
{
    if (m_target)
        m_target->stop();
}
