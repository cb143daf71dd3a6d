#pragma once
// The plot's background picture: 307 x 307, mostly black with a dim emblem (a
// globe under a satellite's orbit and the program's name), drawn by the program.
#include <QImage>

namespace veltrano {

// A 32-bit RGB picture of kPlotSize x kPlotSize pixels.
QImage visualLogo();

}  // namespace veltrano
