#pragma once

#include "engine/ZAPropertyModifier.h"

#include <memory>

class ZASoundSource;

// Bends a sound source's pitch; stops the source at the end when asked to.
class ZASoundSourcePitchBender : public ZAPropertyModifier
{
public:
    // The target is kept alive by the modifier.
    ZASoundSourcePitchBender(std::shared_ptr<ZASoundSource> target, int interpolationType, float startValue,
                             float endValue);
    float targetProperty() const override;

protected:
    void setTargetProperty(float value) override;
    void stopTarget() override;

private:
    std::shared_ptr<ZASoundSource> m_target;
};
