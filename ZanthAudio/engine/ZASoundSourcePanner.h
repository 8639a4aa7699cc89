#pragma once

#include "engine/ZAPropertyModifier.h"

#include <memory>

class ZASoundSource;

// Pans a sound source from -1.0 (left) to 1.0 (right); stops the source at the end when asked to.
class ZASoundSourcePanner : public ZAPropertyModifier
{
public:
    // The target is kept alive by the modifier.
    ZASoundSourcePanner(std::shared_ptr<ZASoundSource> target, int interpolationType, float startValue,
                        float endValue);
    float targetProperty() const override;

protected:
    void setTargetProperty(float value) override;
    void stopTarget() override;

private:
    std::shared_ptr<ZASoundSource> m_target;
};
