#pragma once

// Geometry between a steered object (start) and its target (end) in mathematical coordinates (y up),
// in single precision. Angles in degrees.
class AIOperations
{
public:
    // Each sets its changed flag, or clears it when the values are the stored ones.
    void setStartPosition(float x, float y, float rotation);
    void setEndPosition(float x, float y, float rotation);
    // Recomputes distance, rotation difference and direction flags when either end changed.
    void updateInformations();

    float getDistanceBetween2Points() const { return m_distance; }
    // 0 to 180; not a number when both ends are at the same place.
    float getRotationDifferenceBetween2Points() const { return m_rotationDifference; }
    bool shouldAttackerRotateRight() const { return m_rotateRight; }
    // True when the target is not ahead of the start's heading.
    bool hasDifferentDirections() const { return m_differentDirections; }

    static float getPythagoras(float a, float b);
    static double getSquare(float a, float b);

private:
    float m_startX = 0, m_startY = 0, m_startRotation = 0;
    float m_endX = 0, m_endY = 0, m_endRotation = 0;
    float m_dx = 0, m_dy = 0;
    float m_rotationDifference = 0;
    float m_distance = 0;
    bool m_startChanged = true;
    bool m_endChanged = true;
    bool m_rotateRight = false;
    bool m_differentDirections = false;
};
