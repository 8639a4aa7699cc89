#pragma once

#include <QQmlExtensionPlugin>

// Registers the physics types; made once by the engine's type table, which imports them as "Box2D" 1.0 and
// again as "Zanth" 1.0.
class Box2DPlugin : public QQmlExtensionPlugin
{
    Q_OBJECT

public:
    // Registers under "Box2D", then under "Zanth".
    explicit Box2DPlugin(QObject* parent = nullptr);

    // Registers every physics type as version 1.0 of uri.
    void registerTypes(const char* uri) override;
};
