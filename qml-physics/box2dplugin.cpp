#include "box2dplugin.h"

#include "box2dbody.h"
#include "box2dbox.h"
#include "box2dcircle.h"
#include "box2ddebugdraw.h"
#include "box2ddistancejoint.h"
#include "box2dfixture.h"
#include "box2djoint.h"
#include "box2dmousejoint.h"
#include "box2dpolygon.h"
#include "box2dprismaticjoint.h"
#include "box2drevolutejoint.h"
#include "box2dropejoint.h"
#include "box2dweldjoint.h"
#include "box2dworld.h"
#include "qmltyperegistry.h"

#include <QtQml>

namespace {
const QmlTypeRegistrar physicsRow(QmlTypeRows::Physics, [] { static const Box2DPlugin plugin; });
} // namespace

Box2DPlugin::Box2DPlugin(QObject* parent) : QQmlExtensionPlugin(parent)
{
    registerTypes("Box2D");
    registerTypes("Zanth");
}

void Box2DPlugin::registerTypes(const char* uri)
{
    qmlRegisterType<Box2DWorld>(uri, 1, 0, "World");
    qmlRegisterType<Box2DBody>(uri, 1, 0, "Body");
    qmlRegisterAnonymousType<Box2DFixture>(uri, 1);
    qmlRegisterType<Box2DBox>(uri, 1, 0, "Box");
    qmlRegisterType<Box2DCircle>(uri, 1, 0, "Circle");
    qmlRegisterType<Box2DPolygon>(uri, 1, 0, "Polygon");
    qmlRegisterType<Box2DDebugDraw>(uri, 1, 0, "DebugDraw");
    qmlRegisterAnonymousType<Box2DJoint>(uri, 1);
    qmlRegisterType<Box2DDistanceJoint>(uri, 1, 0, "DistanceJoint");
    qmlRegisterType<Box2DPrismaticJoint>(uri, 1, 0, "PrismaticJoint");
    qmlRegisterType<Box2DRevoluteJoint>(uri, 1, 0, "RevoluteJoint");
    qmlRegisterType<Box2DMouseJoint>(uri, 1, 0, "MouseJoint");
    qmlRegisterType<Box2DRopeJoint>(uri, 1, 0, "RopeJoint");
    qmlRegisterType<Box2DWeldJoint>(uri, 1, 0, "WeldJoint");
}
