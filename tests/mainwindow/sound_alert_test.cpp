#include "mainwindow/sound_alert.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "main_form_probe.h"
#include "mainwindow/app_context.h"
#include "mainwindow/main_form.h"
#include "mainwindow/sound_panel.h"

namespace veltrano {
namespace {

const QColor kLime(0, 255, 0);
const QColor kRed(255, 0, 0);

class NoPanel : public SoundPanel {
 public:
  void showSound(const QString&, const QColor&) override {}
};

// Each alert sounds its own tone, and only while sound is on.
TEST(SoundAlert, AlertsSoundOnlyWhileSoundIsOn) {
  enum class Event { ReceiverLost, PositionStale };
  struct Case {
    Event event;
    bool soundEnabled;
    std::vector<std::string> sounds;
  } cases[] = {
      {Event::ReceiverLost, true, {"1000 Hz 100 ms"}},
      {Event::ReceiverLost, false, {}},
      {Event::PositionStale, true, {"500 Hz 50 ms"}},
      {Event::PositionStale, false, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.event == Event::ReceiverLost ? "receiver lost" : "position stale") +
                 (c.soundEnabled ? ", sound on" : ", sound off"));
    TransportFields transport;
    transport.soundEnabled = c.soundEnabled;
    NoPanel panel;
    std::vector<std::string> sounds;
    SoundAlert alert(transport, panel, [&sounds](int frequency, int durationMs) {
      sounds.push_back(std::to_string(frequency) + " Hz " + std::to_string(durationMs) + " ms");
    });
    if (c.event == Event::ReceiverLost)
      alert.receiverLost();
    else
      alert.positionStale();
    EXPECT_EQ(sounds, c.sounds);
    EXPECT_EQ(transport.soundEnabled, c.soundEnabled);
  }
}

// SoundButton switches the setting only when the user presses it; the
// program's own call only brings SoundLabel in line with the flag.
TEST(SoundAlert, SoundButtonAndSoundLabel) {
  AppContext app;
  app.alertSound = [](int, int) { FAIL() << "no alert expected"; };
  const MainFormControls c = test::probeControls(*app.mainForm);
  enum class Step { Press, Refresh, FlagOnAndRefresh, FlagOffAndRefresh };
  struct Case {
    Step step;
    bool soundEnabled;
    const char* text;
    QColor color;
  } steps[] = {
      {Step::Refresh, false, "sound off", kRed},
      {Step::Press, true, "sound on", kLime},
      {Step::Refresh, true, "sound on", kLime},
      {Step::Press, false, "sound off", kRed},
      {Step::Press, true, "sound on", kLime},
      {Step::FlagOffAndRefresh, false, "sound off", kRed},
      {Step::FlagOnAndRefresh, true, "sound on", kLime},
      {Step::Press, false, "sound off", kRed},
  };
  EXPECT_FALSE(app.transport.soundEnabled);
  EXPECT_EQ(c.soundLabel->text(), QStringLiteral("sound off"));
  EXPECT_EQ(c.soundLabel->textColor(), kRed);
  int index = 0;
  for (const Case& s : steps) {
    SCOPED_TRACE("step " + std::to_string(index++));
    switch (s.step) {
      case Step::Press:
        c.soundButton->click();
        break;
      case Step::Refresh:
        app.soundAlert->SoundButtonClick();
        break;
      case Step::FlagOnAndRefresh:
      case Step::FlagOffAndRefresh:
        // As the settings file sets it.
        app.transport.soundEnabled = s.step == Step::FlagOnAndRefresh;
        app.soundAlert->SoundButtonClick();
        break;
    }
    EXPECT_EQ(app.transport.soundEnabled, s.soundEnabled);
    EXPECT_EQ(c.soundLabel->text(), QString::fromLatin1(s.text));
    EXPECT_EQ(c.soundLabel->textColor(), s.color);
  }
}

}  // namespace
}  // namespace veltrano
