#include "rangemodel.h"

#include "qmltyperegistry.h"

#include <QtQml>

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <limits>

namespace Zanth {

namespace {

const QmlTypeRegistrar rangeModelRow(18, [] { qmlRegisterType<QRangeModel>("Zanth", 1, 0, "RangeModel"); });

// A non-zero number is never fuzzily equal to 0.
bool fuzzyEqual(qreal a, qreal b)
{
    return std::abs(a - b) * 1e12 <= std::min(std::abs(a), std::abs(b));
}

// Truncates toward zero into the 32-bit range; NaN gives 0, so a broken input can't become undefined
// behaviour in the conversion.
int truncatedStep(qreal steps)
{
    if (std::isnan(steps))
        return 0;
    const qreal limited =
        std::clamp(steps, qreal(std::numeric_limits<int>::min()), qreal(std::numeric_limits<int>::max()));
    return int(limited);
}

// Non-finite numbers would poison every later reading: they are refused with one log line.
bool acceptable(std::initializer_list<qreal> numbers, const char* what)
{
    for (const qreal number : numbers) {
        if (!std::isfinite(number)) {
            qWarning("QRangeModel: WARNING: %s ignored, it is not a finite number", what);
            return false;
        }
    }
    return true;
}

} // namespace

class QRangeModelPrivate
{
public:
    qreal minimum = 0;
    qreal maximum = 99.0;
    qreal stepSize = 0;
    qreal positionAtMinimum = 0;
    qreal positionAtMaximum = 0;
    qreal position = 0;
    qreal value = 0;
    bool inverted = false;

    qreal effectivePositionAtMinimum() const { return inverted ? positionAtMaximum : positionAtMinimum; }
    qreal effectivePositionAtMaximum() const { return inverted ? positionAtMinimum : positionAtMaximum; }

    qreal equivalentPosition(qreal v) const
    {
        const qreal lo = effectivePositionAtMinimum();
        const qreal hi = effectivePositionAtMaximum();
        const qreal valueRange = maximum - minimum;
        if (valueRange == 0)
            return lo;
        return (v - minimum) * (hi - lo) / valueRange + lo;
    }

    qreal equivalentValue(qreal p) const
    {
        const qreal lo = effectivePositionAtMinimum();
        const qreal positionRange = effectivePositionAtMaximum() - lo;
        if (positionRange == 0)
            return minimum;
        return (p - lo) * (maximum - minimum) / positionRange + minimum;
    }

    qreal publicValue(qreal v) const
    {
        if (stepSize == 0)
            return std::clamp(v, minimum, std::max(minimum, maximum));
        const int n = truncatedStep((v - minimum) / stepSize);
        if (n < 0)
            return minimum;
        const qreal left = std::min(maximum, n * stepSize + minimum);
        const qreal right = std::min(maximum, (n + 1) * stepSize + minimum);
        return (left + right) / 2 >= v ? left : right;
    }

    qreal publicPosition(qreal p) const
    {
        const qreal lo = effectivePositionAtMinimum();
        const qreal hi = effectivePositionAtMaximum();
        const qreal valueRange = maximum - minimum;
        const qreal ratio = valueRange == 0 ? 0 : (hi - lo) / valueRange;
        const qreal positionStep = stepSize * ratio;
        if (positionStep == 0)
            return std::clamp(p, std::min(lo, hi), std::max(lo, hi));
        const int n = truncatedStep((p - lo) / positionStep);
        if (n < 0)
            return lo;
        qreal left = n * positionStep + lo;
        qreal right = (n + 1) * positionStep + lo;
        if (hi > lo) {
            left = std::min(left, hi);
            right = std::min(right, hi);
        } else {
            left = std::max(left, hi);
            right = std::max(right, hi);
        }
        return std::abs(right - p) >= std::abs(left - p) ? left : right;
    }
};

QRangeModel::QRangeModel(QObject* parent) : QObject(parent), d(std::make_unique<QRangeModelPrivate>()) {}

QRangeModel::~QRangeModel() = default;

qreal QRangeModel::value() const
{
    return d->publicValue(d->value);
}

qreal QRangeModel::position() const
{
    return d->publicPosition(d->position);
}

qreal QRangeModel::minimum() const
{
    return d->minimum;
}

qreal QRangeModel::maximum() const
{
    return d->maximum;
}

qreal QRangeModel::stepSize() const
{
    return d->stepSize;
}

qreal QRangeModel::positionAtMinimum() const
{
    return d->positionAtMinimum;
}

qreal QRangeModel::positionAtMaximum() const
{
    return d->positionAtMaximum;
}

bool QRangeModel::inverted() const
{
    return d->inverted;
}

void QRangeModel::emitValueAndPositionIfChanged(qreal oldValue, qreal oldPosition)
{
    const qreal newValue = value();
    const qreal newPosition = position();
    if (!fuzzyEqual(newValue, oldValue))
        emit valueChanged(newValue);
    if (!fuzzyEqual(newPosition, oldPosition))
        emit positionChanged(newPosition);
}

void QRangeModel::setValue(qreal newValue)
{
    if (!acceptable({newValue}, "value") || fuzzyEqual(newValue, d->value))
        return;
    const qreal oldValue = value();
    const qreal oldPosition = position();
    d->value = newValue;
    d->position = d->equivalentPosition(newValue);
    emitValueAndPositionIfChanged(oldValue, oldPosition);
}

void QRangeModel::setPosition(qreal newPosition)
{
    if (!acceptable({newPosition}, "position") || fuzzyEqual(newPosition, d->position))
        return;
    const qreal oldValue = value();
    const qreal oldPosition = position();
    d->position = newPosition;
    d->value = d->equivalentValue(newPosition);
    emitValueAndPositionIfChanged(oldValue, oldPosition);
}

void QRangeModel::setRange(qreal minimum, qreal maximum)
{
    if (!acceptable({minimum, maximum}, "range"))
        return;
    if (fuzzyEqual(minimum, d->minimum) && fuzzyEqual(maximum, d->maximum))
        return;
    const qreal oldValue = value();
    const qreal oldPosition = position();
    const bool minimumMoved = !fuzzyEqual(minimum, d->minimum);
    const qreal newMaximum = std::max(minimum, maximum);
    const bool maximumMoved = !fuzzyEqual(newMaximum, d->maximum);
    d->minimum = minimum;
    d->maximum = newMaximum;
    d->position = d->equivalentPosition(d->value);
    if (minimumMoved)
        emit minimumChanged(d->minimum);
    if (maximumMoved)
        emit maximumChanged(d->maximum);
    emitValueAndPositionIfChanged(oldValue, oldPosition);
}

void QRangeModel::setMinimum(qreal minimum)
{
    setRange(minimum, d->maximum);
}

void QRangeModel::setMaximum(qreal maximum)
{
    setRange(std::min(d->minimum, maximum), maximum);
}

void QRangeModel::setPositionRange(qreal atMinimum, qreal atMaximum)
{
    if (!acceptable({atMinimum, atMaximum}, "position range"))
        return;
    if (fuzzyEqual(atMinimum, d->positionAtMinimum) && fuzzyEqual(atMaximum, d->positionAtMaximum))
        return;
    const qreal oldPosition = position();
    const bool minimumMoved = !fuzzyEqual(atMinimum, d->positionAtMinimum);
    const bool maximumMoved = !fuzzyEqual(atMaximum, d->positionAtMaximum);
    d->positionAtMinimum = atMinimum;
    d->positionAtMaximum = atMaximum;
    d->position = d->equivalentPosition(d->value);
    if (minimumMoved)
        emit positionAtMinimumChanged(atMinimum);
    if (maximumMoved)
        emit positionAtMaximumChanged(atMaximum);
    emitValueAndPositionIfChanged(value(), oldPosition);
}

void QRangeModel::setPositionAtMinimum(qreal position)
{
    setPositionRange(position, d->positionAtMaximum);
}

void QRangeModel::setPositionAtMaximum(qreal position)
{
    setPositionRange(d->positionAtMinimum, position);
}

void QRangeModel::setStepSize(qreal stepSize)
{
    if (!acceptable({stepSize}, "step size"))
        return;
    if (stepSize < 0)
        stepSize = 0;
    if (fuzzyEqual(stepSize, d->stepSize))
        return;
    const qreal oldValue = value();
    const qreal oldPosition = position();
    d->stepSize = stepSize;
    emit stepSizeChanged(stepSize);
    emitValueAndPositionIfChanged(oldValue, oldPosition);
}

void QRangeModel::setInverted(bool inverted)
{
    if (inverted == d->inverted)
        return;
    d->inverted = inverted;
    emit invertedChanged(inverted);
    setPosition(d->equivalentPosition(d->value));
}

void QRangeModel::toMinimum()
{
    setValue(d->minimum);
}

void QRangeModel::toMaximum()
{
    setValue(d->maximum);
}

qreal QRangeModel::valueForPosition(qreal position) const
{
    return d->publicValue(d->equivalentValue(position));
}

qreal QRangeModel::positionForValue(qreal value) const
{
    return d->publicPosition(d->equivalentPosition(value));
}

} // namespace Zanth
