#include "gametimeanimationdriver.h"

#include <cmath>

GameTimeAnimationDriver::GameTimeAnimationDriver(QObject* parent) : QAnimationDriver(parent) {}

void GameTimeAnimationDriver::advanceBy(double dt)
{
    if (dt > 0)
        m_elapsedMilliseconds += dt * 1000.0;
    if (isRunning())
        advance();
}

qint64 GameTimeAnimationDriver::elapsed() const
{
    return qint64(std::llround(m_elapsedMilliseconds));
}
