#pragma once

#include <QObject>
#include <QPointF>

// One gesture step as a MultiTouchArea's signal handlers see it, all points in the area's coordinates.
// The area builds it for one emission: handlers must not keep it. QML type MultiTouchEvent.
class MultiTouchEvent : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QPointF center READ center CONSTANT)
    Q_PROPERTY(QPointF startCenter READ startCenter CONSTANT)
    Q_PROPERTY(QPointF previousCenter READ previousCenter CONSTANT)
    Q_PROPERTY(qreal scale READ scale CONSTANT)
    Q_PROPERTY(qreal previousScale READ previousScale CONSTANT)
    Q_PROPERTY(qreal angle READ angle CONSTANT)
    Q_PROPERTY(qreal previousAngle READ previousAngle CONSTANT)
    Q_PROPERTY(qreal rotation READ rotation CONSTANT)
    Q_PROPERTY(QPointF point1 READ point1 CONSTANT)
    Q_PROPERTY(QPointF point2 READ point2 CONSTANT)
    Q_PROPERTY(QPointF startPoint1 READ startPoint1 CONSTANT)
    Q_PROPERTY(QPointF startPoint2 READ startPoint2 CONSTANT)
    Q_PROPERTY(int pointCount READ pointCount CONSTANT)
    Q_PROPERTY(bool accepted MEMBER accepted)
    Q_PROPERTY(int x READ x CONSTANT)
    Q_PROPERTY(int y READ y CONSTANT)

public:
    explicit MultiTouchEvent(QObject* parent = nullptr) : QObject(parent) {}

    QPointF center() const { return m_center; }
    QPointF startCenter() const { return m_startCenter; }
    QPointF previousCenter() const { return m_previousCenter; }
    qreal scale() const { return m_scale; }
    qreal previousScale() const { return m_previousScale; }
    qreal angle() const { return m_angle; }
    qreal previousAngle() const { return m_previousAngle; }
    qreal rotation() const { return m_rotation; }
    QPointF point1() const { return m_point1; }
    QPointF point2() const { return m_point2; }
    QPointF startPoint1() const { return m_startPoint1; }
    QPointF startPoint2() const { return m_startPoint2; }
    int pointCount() const { return m_pointCount; }
    // previousCenter rounded, halves towards positive infinity.
    int x() const;
    int y() const;

    // Filled in by the area before it emits.
    QPointF m_center, m_startCenter, m_previousCenter;
    qreal m_scale = 1.0, m_previousScale = 1.0, m_angle = 0.0, m_previousAngle = 0.0, m_rotation = 0.0;
    QPointF m_point1, m_point2, m_startPoint1, m_startPoint2;
    int m_pointCount = 0;
    bool accepted = true;
};
