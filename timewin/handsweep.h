#pragma once

// The dial hand's arithmetic, kept apart from the window so it can be checked
// tick by tick without a display.

#include "twips.h"

class HandSweep
{
public:
    // Measures the hand from the line as designed and starts the sweep at 12 o'clock.
    void load(const LineCoords &designed);
    // Draws the hand at the current angle, then advances the angle by one step.
    void tick(LineCoords &line);

    double handLength() const { return m_handLength; }
    double degToRad() const { return m_degToRad; }
    double sweepAngle() const { return m_sweepAngle; }

private:
    double m_handLength = 0.0;
    double m_degToRad = 0.0;
    double m_sweepAngle = 0.0;
};
