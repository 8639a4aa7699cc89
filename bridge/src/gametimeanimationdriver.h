#pragma once

#include <QAnimationDriver>

// Drives QML animations by the director's frame time instead of the wall clock, so that they run in
// game time (they stop while the director is paused) and advance exactly one frame per frame.
class GameTimeAnimationDriver : public QAnimationDriver
{
public:
    explicit GameTimeAnimationDriver(QObject* parent = nullptr);

    // Moves animation time on by dt seconds and steps the running animations.
    void advanceBy(double dt);
    // Game time in milliseconds since Qt last started the driver (the animation timer adds its own start).
    qint64 elapsed() const override;

protected:
    void start() override;

private:
    double m_elapsedMilliseconds = 0;
};
