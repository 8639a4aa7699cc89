#pragma once

#include "engine/ZAPropertyModifier.h"

#include <memory>

class ZASoundSource;

// Fades a sound source's gain; stops the source at the end when asked to.
class ZASoundSourceFader : public ZAPropertyModifier
{
public:
    // The target is kept alive by the modifier.
    ZASoundSourceFader(std::shared_ptr<ZASoundSource> target, int interpolationType, float startValue,
                       float endValue);
    float targetProperty() const override;

protected:
    void setTargetProperty(float value) override;
    void stopTarget() override;

private:
    std::shared_ptr<ZASoundSource> m_target;
};
