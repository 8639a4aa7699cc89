#include "aioperations.h"

#include <algorithm>
#include <cmath>

void AIOperations::setStartPosition(float x, float y, float rotation)
{
    m_startChanged = !(x == m_startX && y == m_startY && rotation == m_startRotation);
    m_startX = x;
    m_startY = y;
    m_startRotation = rotation;
}

void AIOperations::setEndPosition(float x, float y, float rotation)
{
    m_endChanged = !(x == m_endX && y == m_endY && rotation == m_endRotation);
    m_endX = x;
    m_endY = y;
    m_endRotation = rotation;
}

void AIOperations::updateInformations()
{
    if (!m_startChanged && !m_endChanged)
        return;
    m_dx = m_endX - m_startX;
    m_dy = m_endY - m_startY;
    m_distance = getPythagoras(m_dx, m_dy);
    const float a = m_startRotation / 180.0f * 3.1415927f;
    const float s = std::sin(a);
    const float c = std::cos(a);
    const float dot = c * m_dx - s * m_dy;
    const float q = dot / (getPythagoras(c, s) * getPythagoras(m_dx, m_dy));
    if (std::abs(q - 1.0f) <= 0.00001f * std::min(std::abs(q), 1.0f))
        m_rotationDifference = 0;
    else
        m_rotationDifference = std::acos(q) * 57.295776f;
    m_differentDirections = !(dot > 0);
    m_rotateRight = !(m_dx * -s > c * m_dy);
}

float AIOperations::getPythagoras(float a, float b)
{
    return std::sqrt(a * a + b * b);
}

double AIOperations::getSquare(float a, float b)
{
    return double(a) * a + double(b) * b;
}
