#pragma once
// The 16 x 16 pictures of the Visual window's buttons and plot menu items,
// drawn by the program itself.
#include <QIcon>

namespace veltrano {

enum class VisualGlyph { Clear, Copy, SetCurrent, SetStatistic, Options };

QIcon visualGlyph(VisualGlyph glyph);

}  // namespace veltrano
