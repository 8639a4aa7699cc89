#pragma once

#include <QObject>

#include <memory>

namespace Zanth {

class QRangeModelPrivate;

// Maps a value range onto a position range (a slider's value onto its handle's pixel coordinate):
// setting either one moves the other; values snap to stepSize and positions to the matching position
// step; the position range can be inverted. QML type RangeModel. Lives in the engine's namespace because
// newer Qt has a class of the same name.
class QRangeModel : public QObject
{
    Q_OBJECT
    Q_PROPERTY(qreal value READ value WRITE setValue NOTIFY valueChanged USER true)
    Q_PROPERTY(qreal minimumValue READ minimum WRITE setMinimum NOTIFY minimumChanged)
    Q_PROPERTY(qreal maximumValue READ maximum WRITE setMaximum NOTIFY maximumChanged)
    Q_PROPERTY(qreal stepSize READ stepSize WRITE setStepSize NOTIFY stepSizeChanged)
    Q_PROPERTY(qreal position READ position WRITE setPosition NOTIFY positionChanged)
    Q_PROPERTY(qreal positionAtMinimum READ positionAtMinimum WRITE setPositionAtMinimum NOTIFY
                   positionAtMinimumChanged)
    Q_PROPERTY(qreal positionAtMaximum READ positionAtMaximum WRITE setPositionAtMaximum NOTIFY
                   positionAtMaximumChanged)
    Q_PROPERTY(bool inverted READ inverted WRITE setInverted NOTIFY invertedChanged)

public:
    explicit QRangeModel(QObject* parent = nullptr);
    ~QRangeModel() override;

    // The stored value snapped to the step and bounded to the range.
    qreal value() const;
    // The stored position snapped to the position step and bounded to the position range.
    qreal position() const;
    qreal minimum() const;
    qreal maximum() const;
    qreal stepSize() const;
    qreal positionAtMinimum() const;
    qreal positionAtMaximum() const;
    bool inverted() const;

    // A maximum below the minimum is raised to it.
    void setRange(qreal minimum, qreal maximum);
    void setPositionRange(qreal atMinimum, qreal atMaximum);
    void setMinimum(qreal minimum);
    // A maximum below the minimum lowers the minimum to it.
    void setMaximum(qreal maximum);
    // A negative step is taken as 0 (no snapping).
    void setStepSize(qreal stepSize);
    void setPositionAtMinimum(qreal position);
    void setPositionAtMaximum(qreal position);
    void setInverted(bool inverted);

    // The value a position would give, snapped; the model is left alone.
    Q_INVOKABLE qreal valueForPosition(qreal position) const;
    // The position a value would give, snapped; the model is left alone.
    Q_INVOKABLE qreal positionForValue(qreal value) const;

public slots:
    void toMinimum();
    void toMaximum();
    void setValue(qreal value);
    void setPosition(qreal position);

signals:
    void valueChanged(qreal value);
    void positionChanged(qreal position);
    void stepSizeChanged(qreal stepSize);
    void invertedChanged(bool inverted);
    void minimumChanged(qreal min);
    void maximumChanged(qreal max);
    void positionAtMinimumChanged(qreal min);
    void positionAtMaximumChanged(qreal max);

private:
    // Emits the value and position signals for the readings that moved away from the old ones.
    void emitValueAndPositionIfChanged(qreal oldValue, qreal oldPosition);

    std::unique_ptr<QRangeModelPrivate> d;
};

} // namespace Zanth
