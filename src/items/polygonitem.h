#pragma once

#include "ztnodeitem.h"

// The generated meta-object code needs the wrapper complete (the item base holds a guarded pointer).
Q_MOC_INCLUDE("scenegraphwrapper.h")

#include <QColor>
#include <QUrl>
#include <QVariantList>

class QTimer;

namespace zanth2d {
class ZTFilledPolygon;
}

// A filled, outlined or textured polygon through its vertices (points in item pixels), drawn by a
// filled-polygon node that follows every property change. The colour's alpha is not used: the item's
// opacity is. QML type PolygonItem.
class PolygonItem : public ZTNodeItem
{
    Q_OBJECT
    Q_PROPERTY(QUrl texture READ texture WRITE setTexture NOTIFY textureChanged)
    Q_PROPERTY(QVariantList vertices READ vertices WRITE setVertices NOTIFY verticesChanged)
    Q_PROPERTY(QColor color READ color WRITE setColor NOTIFY colorChanged)
    Q_PROPERTY(bool fill READ fill WRITE setFill NOTIFY fillChanged)
    Q_PROPERTY(bool close READ close WRITE setClose NOTIFY closeChanged)

public:
    explicit PolygonItem(QQuickItem* parent = nullptr);

    QUrl texture() const { return m_texture; }
    void setTexture(const QUrl& texture);
    QVariantList vertices() const { return m_vertices; }
    void setVertices(const QVariantList& vertices);
    QColor color() const { return m_color; }
    void setColor(const QColor& color);
    bool fill() const { return m_fill; }
    void setFill(bool fill);
    bool close() const { return m_close; }
    void setClose(bool close);
    // Null until the first update after setup.
    zanth2d::ZTFilledPolygon* polygonNode() const { return m_polygon; }

signals:
    void textureChanged();
    void verticesChanged();
    void colorChanged();
    void fillChanged();
    void closeChanged();

private slots:
    void setup();
    void updateVertices();
    void itemOpacityChanged();

private:
    QUrl m_texture;
    QVariantList m_vertices;
    QColor m_color = Qt::white;
    bool m_fill = false;
    bool m_close = true;
    double m_opacity = 1.0;
    zanth2d::ZTFilledPolygon* m_polygon = nullptr;
    QTimer* m_setupTimer;
};
