#pragma once
// Runs the same updates on a window whose drawing is held and on one that
// draws each of them at once, and checks that the held one draws nothing until
// it is released and then shows what the other shows.
#include <gtest/gtest.h>

#include <QImage>
#include <functional>
#include <vector>

#include "displays/auto_label.h"

namespace veltrano::test {

template <typename Window>
void expectHeldShownAsOneByOne(Window& held, Window& oneByOne,
                               const std::vector<std::function<void(Window&)>>& updates) {
  held.holdDrawing();
  const QImage before = held.grab().toImage();
  for (const auto& update : updates) {
    update(oneByOne);
    update(held);
  }
  EXPECT_TRUE(held.grab().toImage() == before);
  held.releaseDrawing();
  for (AutoLabel* shown : oneByOne.template findChildren<AutoLabel*>()) {
    SCOPED_TRACE(shown->objectName().toStdString());
    const AutoLabel* label = held.template findChild<AutoLabel*>(shown->objectName());
    EXPECT_EQ(label->text(), shown->text());
    EXPECT_EQ(label->textColor(), shown->textColor());
    EXPECT_EQ(label->isEnabled(), shown->isEnabled());
    // An empty label shows nothing wherever it stands.
    if (!shown->text().isEmpty()) {
      EXPECT_EQ(label->geometry(), shown->geometry());
    }
  }
  EXPECT_TRUE(held.grab().toImage() == oneByOne.grab().toImage());
}

}  // namespace veltrano::test
