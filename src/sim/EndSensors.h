// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace kvt::sim {

// End switches at the ends of the simulated axis, in the configured unit from the power-on
// position of the shaft. Home1 is the controller's Home1 switch moved to `home1` (it is active
// below it); Home2 is fitted only with them and is active above `home2`. A drive that overruns a
// switch while braking still holds it active.
struct EndSensors {
    bool fitted = false;
    double home1 = -2.0;
    double home2 = 2.0;

    bool home2Active(double travel) const { return fitted && travel > home2; }
};

} // namespace kvt::sim
