#include "polygonitem.h"

#include "qmltyperegistry.h"
#include "scenegraphwrapper.h"

#include "misc_nodes/ZTFilledPolygon.h"
#include "textures/ZTTextureCache.h"

#include <QJSValue>
#include <QQmlContext>
#include <QTimer>
#include <QtQml>

#include <vector>

using namespace zanth2d;

namespace {
const QmlTypeRegistrar polygonRow(25, [] { qmlRegisterType<PolygonItem>("Zanth", 1, 0, "PolygonItem"); });

// A vertex from QML: a point, or an object with x and y.
QPointF toPoint(const QVariant& vertex)
{
    if (vertex.canConvert<QPointF>() && vertex.typeId() != QMetaType::QVariantMap)
        return vertex.toPointF();
    QVariantMap map = vertex.toMap();
    if (map.isEmpty() && vertex.canConvert<QJSValue>())
        map = vertex.value<QJSValue>().toVariant().toMap();
    return {map.value("x").toDouble(), map.value("y").toDouble()};
}
} // namespace

PolygonItem::PolygonItem(QQuickItem* parent) : ZTNodeItem(parent), m_setupTimer(new QTimer(this))
{
    connect(m_setupTimer, &QTimer::timeout, this, &PolygonItem::setup);
    m_setupTimer->start(0);
}

void PolygonItem::setTexture(const QUrl& texture)
{
    if (m_texture == texture)
        return;
    m_texture = texture;
    updateVertices();
    emit textureChanged();
}

void PolygonItem::setVertices(const QVariantList& vertices)
{
    if (m_vertices == vertices)
        return;
    m_vertices = vertices;
    updateVertices();
    emit verticesChanged();
}

void PolygonItem::setColor(const QColor& color)
{
    if (m_color == color)
        return;
    m_color = color;
    updateVertices();
    emit colorChanged();
}

void PolygonItem::setFill(bool fill)
{
    if (m_fill == fill)
        return;
    m_fill = fill;
    updateVertices();
    emit fillChanged();
}

void PolygonItem::setClose(bool close)
{
    if (m_close == close)
        return;
    m_close = close;
    updateVertices();
    emit closeChanged();
}

void PolygonItem::setup()
{
    m_setupTimer->stop();
    createBaseNodeAndAddToParent(nullptr);
    if (!getZTNode()) {
        qWarning("PolygonItem: The node of this item was not available. The function "
                 "createBaseNodeAndAddToParent() may not be called before.");
        return;
    }
    connect(this, &QQuickItem::opacityChanged, this, &PolygonItem::itemOpacityChanged);
    m_opacity = opacity();
    updateVertices();
}

void PolygonItem::itemOpacityChanged()
{
    m_opacity = opacity();
    updateVertices();
}

void PolygonItem::updateVertices()
{
    ZTNode* node = getZTNode();
    if (!node || m_setupTimer->isActive())
        return;
    std::vector<ZTPoint> points;
    points.reserve(size_t(m_vertices.size()));
    for (const QVariant& vertex : m_vertices) {
        const QPointF point = toPoint(vertex);
        points.emplace_back(float(point.x()), float(-point.y()));
    }
    ZTTexture2D* texture = nullptr;
    if (!m_texture.isEmpty()) {
        QQmlContext* context = qmlContext(this);
        const QUrl url = context ? context->resolvedUrl(m_texture) : m_texture;
        texture = ZTTextureCache::sharedTextureCache()->addImage(
            SceneGraphWrapper::getPlatformUrlString(url).toUtf8().constData());
    }
    const ztColor4F color = {float(m_color.redF()), float(m_color.greenF()), float(m_color.blueF()),
                             float(m_opacity)};
    if (!m_polygon) {
        m_polygon = ZTFilledPolygon::filledPolygonWithPoints(points, texture, color, m_fill, m_close);
        m_polygon->setParent(nullptr);
        node->addChild(m_polygon);
    } else {
        m_polygon->setColor(color);
        m_polygon->setFill(m_fill);
        m_polygon->setClose(m_close);
        m_polygon->setTexture(texture);
        m_polygon->setPoints(points);
    }
    if (m_opacity <= 0.01) {
        if (node->getIsVisible())
            node->setIsVisible(false);
    } else if (isVisible() && !node->getIsVisible()) {
        node->setIsVisible(true);
    }
}
