#pragma once

#include "scenegraphwrapper.h" // complete for the base's QPointer
#include "visualitempropertyobserver.h"

// The blend factor names below are QML's; GL's own macros must not replace them here.
#pragma push_macro("GL_ONE")
#pragma push_macro("GL_SRC_ALPHA")
#pragma push_macro("GL_ONE_MINUS_SRC_ALPHA")
#undef GL_ONE
#undef GL_SRC_ALPHA
#undef GL_ONE_MINUS_SRC_ALPHA

// The native root of the older Particles component: the bridge's particle manager gives it a node and
// builds its emitters from the component's properties. It carries only the enumerations the component
// uses. QML type ParticleSystem.
class ParticleSystem : public VisualItemPropertyObserver
{
    Q_OBJECT

public:
    enum Status
    {
        Ready = 0,
        Loading = 1,
        Error = 2,
        Playing = 3,
        RequestsPlay = 4
    };
    Q_ENUM(Status)
    enum PositionType
    {
        Free = 0,
        Relative = 1,
        Grouped = 2
    };
    Q_ENUM(PositionType)
    enum EmitterType
    {
        Gravity = 0,
        Radius = 1
    };
    Q_ENUM(EmitterType)
    enum Duration
    {
        Infinite = -2
    };
    Q_ENUM(Duration)
    enum BlendFunction
    {
        GL_ONE = 1,
        GL_SRC_ALPHA = 770,
        GL_ONE_MINUS_SRC_ALPHA = 771
    };
    Q_ENUM(BlendFunction)

    explicit ParticleSystem(QQuickItem* parent = nullptr);
};

#pragma pop_macro("GL_ONE")
#pragma pop_macro("GL_SRC_ALPHA")
#pragma pop_macro("GL_ONE_MINUS_SRC_ALPHA")
