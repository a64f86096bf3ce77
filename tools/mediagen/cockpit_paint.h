// The cockpit's pictures, painted on the layout of cockpit_layout.h.
#pragma once

#include "tools/mediagen/canvas.h"

namespace mediagen::cockpit {

Canvas BodyTexture();    // frame, side panels and lower dashboard: "cockpit-body.jpg"
Canvas LightsTexture();  // the lamps and floodlight added over the body: "cockpit-lights.jpg"
Canvas GlassTexture();   // "cockpit-glass.jpg"
Canvas ConsoleTexture(); // the ledges: "cockpit-console.jpg"
Canvas UpgradeTexture(); // the station's display: "cockpit-upgrade.jpg"
Canvas SightTexture();   // "cockpit-sight.jpg"
Canvas SpeedTexture();   // "cockpit-speed.jpg"

} // namespace mediagen::cockpit
