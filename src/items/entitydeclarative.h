#pragma once

// The observer base hands out its wrapper through a QPointer, which needs the complete type.
#include "scenegraphwrapper.h"
#include "visualitempropertyobserver.h"

// The native root of the QML entity component EntityBase: an observer item the bridge recognises by its
// class name. QML type EntityDeclarative.
class EntityDeclarative : public VisualItemPropertyObserver
{
    Q_OBJECT

public:
    explicit EntityDeclarative(QQuickItem* parent = nullptr);
};
