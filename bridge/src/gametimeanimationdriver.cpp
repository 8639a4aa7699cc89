#include "gametimeanimationdriver.h"

#include <cmath>

GameTimeAnimationDriver::GameTimeAnimationDriver(QObject* parent) : QAnimationDriver(parent) {}

void GameTimeAnimationDriver::advanceBy(double dt)
{
    if (!isRunning())
        return;
    if (dt > 0)
        m_elapsedMilliseconds += dt * 1000.0;
    advance();
}

void GameTimeAnimationDriver::start()
{
    m_elapsedMilliseconds = 0;
    QAnimationDriver::start();
}

qint64 GameTimeAnimationDriver::elapsed() const
{
    return qint64(std::llround(m_elapsedMilliseconds));
}
