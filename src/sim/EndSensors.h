#pragma once

#include "sim/LiveStatus.h"

#include <QtGlobal>

namespace kvt::sim {

// Two end switches at the ends of the simulated axis: Home1 is active at its position and beyond
// it in the negative direction, Home2 at its position and beyond it in the positive direction,
// so a drive that overruns a switch while stopping still holds it active.
struct EndSensors {
    bool fitted = false;
    double home1 = -2.0; // positions in the configured unit
    double home2 = 2.0;

    // The input bits (io::Home1, io::Home2) the switches give at `position`.
    quint8 inputs(double position) const {
        if (!fitted)
            return 0;
        return static_cast<quint8>((position <= home1 ? io::Home1 : 0) | (position >= home2 ? io::Home2 : 0));
    }
};

} // namespace kvt::sim
