// Progress in the host's status bar. Begin/End pairs nest: every Begin
// pushes a frame that counts its own steps, and Step advances the bar by
// one tick per whole percent the top frame gains.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "automation/ComPtr.h"
#include "automation/ComTypes.h"

namespace hostsdk {

// Codes of the GUI manager's status-bar progress operation.
enum class StatusBarProgressCode : int32_t {
  Prepare = -3,
  Close = -4,
  ShowCaption = -5,  // the only code that carries a text
  Finish = -6,
  Advance = -7,  // one whole percent
};

struct ProgressFrame {
  int32_t TotalPercentCount = 0;    // steps announced
  int32_t CurrentPercentCount = 0;  // steps done
  int32_t OldPercent = 0;           // last percent shown, 0..100
  bool Marquee = false;
};

// The percent that `done` of `total` steps shows: rounded to the nearest
// whole number with halves going to the even neighbour, 100 when nothing
// was announced (total 0 or less), and kept within 0..100.
int32_t ProgressPercent(int32_t done, int32_t total);

class Progress {
 public:
  // Where the GUI manager comes from at each call; a null result means
  // there is none, and then nothing is sent while the frames still count.
  using GuiManagerSource = std::function<automation::ComPtr<IDispatch>()>;

  explicit Progress(GuiManagerSource guiManager);

  void Begin(const std::string& caption, int32_t total);
  // Without a frame (a Step after the last End) there is nothing to count
  // and nothing is sent.
  void Step();
  void End();

  const std::vector<ProgressFrame>& Frames() const { return frames_; }

 private:
  void Send(IDispatch* guiManager, StatusBarProgressCode code, const std::string& text = {});

  GuiManagerSource guiManager_;
  std::vector<ProgressFrame> frames_;
};

// The module's progress stack, reporting to the host's GUI manager.
Progress& ModuleProgress();

}  // namespace hostsdk
