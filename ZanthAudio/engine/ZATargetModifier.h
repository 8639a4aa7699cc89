#pragma once

#include "engine/ZAPropertyModifier.h"

#include <memory>

// A modifier bound to one property of one kind of target: setter and getter are the target's member
// functions for the property, stopper the one that ends it when the modifier completes.
template <typename Target, auto setter, auto getter, auto stopper>
class ZATargetModifier : public ZAPropertyModifier
{
public:
    // The target is kept alive by the modifier.
    ZATargetModifier(std::shared_ptr<Target> target, int interpolationType, float startValue, float endValue)
        : ZAPropertyModifier(interpolationType, startValue, endValue), m_target(std::move(target))
    {
    }

    float targetProperty() const override { return m_target ? ((*m_target).*getter)() : 0.0f; }

protected:
    void setTargetProperty(float value) override
    {
        if (m_target)
            ((*m_target).*setter)(value);
    }

    void stopTarget() override
    {
        if (m_target)
            ((*m_target).*stopper)();
    }

private:
    std::shared_ptr<Target> m_target;
};
