#include "handsweep.h"

#include <cmath>

void HandSweep::load(const LineCoords &designed)
{
    // The differences are taken in single precision, as the line holds them;
    // only the squares and the root are double.
    const float dx = designed.x1 - designed.x2;
    const float dy = designed.y1 - designed.y2;
    m_handLength = std::sqrt(double(dx) * double(dx) + double(dy) * double(dy));
    // Pi as 22/7 on purpose: the hand gains about 0.145 degrees a turn, and that
    // drift is part of how the dial behaves.
    m_degToRad = (22.0 / 7.0) / 180.0;
    m_sweepAngle = 0.0;
}

void HandSweep::tick(LineCoords &line)
{
    const double a = m_sweepAngle * m_degToRad;
    const double offsetX = m_handLength * std::sin(a);
    const double offsetY = m_handLength * std::cos(a);
    // Never reduced modulo 360: folding it back would also fold away the drift.
    m_sweepAngle = m_sweepAngle + 0.4;
    // The pivot is read back from the line on every tick.
    line.x2 = float(double(line.x1) + offsetX);
    line.y2 = float(double(line.y1) - offsetY);
}
