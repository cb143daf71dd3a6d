#pragma once
// The small picture of the transport state shown in the information panel.
#include <QImage>

#include "decoding/transport_fields.h"

namespace veltrano {

// Fills `icon` with black and draws the state's strokes: lime lines two pixels
// wide, a red ring for REC, nothing for a value that is no state. Drawn without
// antialiasing, so the same state always gives the same pixels.
void drawStateIcon(QImage& icon, TransportState state);

}  // namespace veltrano
