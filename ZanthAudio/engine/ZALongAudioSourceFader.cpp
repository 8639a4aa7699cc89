#include "engine/ZALongAudioSourceFader.h"

#include "engine/ZALongAudioSource.h"

ZALongAudioSourceFader::ZALongAudioSourceFader(std::shared_ptr<ZALongAudioSource> target,
                                               int interpolationType, float startValue, float endValue)
    : ZAPropertyModifier(interpolationType, startValue, endValue), m_target(std::move(target))
{
}

float ZALongAudioSourceFader::targetProperty() const
{
    return m_target ? m_target->volume() : 0.0f;
}

void ZALongAudioSourceFader::setTargetProperty(float value)
{
    if (m_target)
        m_target->setVolume(value);
}

void ZALongAudioSourceFader::stopTarget()
{
    if (m_target)
        m_target->pause();
}
