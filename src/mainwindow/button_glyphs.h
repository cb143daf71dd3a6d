#pragma once
// The pictures of the flat buttons of the main and Timer windows and the
// title emblem, drawn by the program itself.
#include <QIcon>
#include <QPixmap>

namespace veltrano {

enum class Glyph {
  Sync,
  Eject,
  Play,
  FastForward,
  Pause,
  Stop,
  Record,
  Clock,
  Sound,
  Minimize,
  Close,
  TimerOn,
  TimerOff
};

// A two-state glyph: the normal picture and a greyed, embossed one for a
// disabled button. Transport and panel glyphs are 16 x 16, the title-bar ones 9 x 9.
QIcon buttonGlyph(Glyph glyph);
QSize glyphSize(Glyph glyph);

// The 16 x 16 emblem at the left of the title bar: a globe with an orbiting satellite.
QPixmap titleEmblem();

}  // namespace veltrano
