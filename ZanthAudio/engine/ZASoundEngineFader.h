#pragma once

#include "engine/ZAPropertyModifier.h"

#include <memory>

class ZASoundEngine;

// Fades the master gain of every effect; stops every effect at the end when asked to.
class ZASoundEngineFader : public ZAPropertyModifier
{
public:
    // The target is kept alive by the modifier.
    ZASoundEngineFader(std::shared_ptr<ZASoundEngine> target, int interpolationType, float startValue,
                       float endValue);
    float targetProperty() const override;

protected:
    void setTargetProperty(float value) override;
    void stopTarget() override;

private:
    std::shared_ptr<ZASoundEngine> m_target;
};
