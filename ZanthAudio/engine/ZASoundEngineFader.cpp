#include "engine/ZASoundEngineFader.h"

#include "engine/ZASoundEngine.h"

ZASoundEngineFader::ZASoundEngineFader(std::shared_ptr<ZASoundEngine> target, int interpolationType,
                                       float startValue, float endValue)
    : ZAPropertyModifier(interpolationType, startValue, endValue), m_target(std::move(target))
{
}

float ZASoundEngineFader::targetProperty() const
{
    return m_target ? m_target->masterGain() : 0.0f;
}

void ZASoundEngineFader::setTargetProperty(float value)
{
    if (m_target)
        m_target->setMasterGain(value);
}

void ZASoundEngineFader::stopTarget()
{
    if (m_target)
        m_target->stopAllSounds();
}
