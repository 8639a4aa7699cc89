#pragma once

#include "engine/ZAPropertyModifier.h"

#include <memory>

class ZALongAudioSource;

// Fades a music channel's volume; pauses the channel (rather than stopping it) at the end when asked to.
class ZALongAudioSourceFader : public ZAPropertyModifier
{
public:
    // The target is kept alive by the modifier.
    ZALongAudioSourceFader(std::shared_ptr<ZALongAudioSource> target, int interpolationType, float startValue,
                           float endValue);
    float targetProperty() const override;

protected:
    void setTargetProperty(float value) override;
    void stopTarget() override;

private:
    std::shared_ptr<ZALongAudioSource> m_target;
};
