#include "hostsdk/Progress.h"

#include <algorithm>
#include <utility>

#include "automation/HostCall.h"
#include "hostsdk/HostDispIds.h"
#include "hostsdk/HostServices.h"

namespace hostsdk {

using automation::ComPtr;
using automation::Variant;

int32_t ProgressPercent(int32_t done, int32_t total) {
  if (total <= 0) return 100;
  const int64_t scaled = int64_t{done} * 100;
  int64_t percent = scaled / total;
  const int64_t twiceRemainder = (scaled % total) * 2;
  if (twiceRemainder > total || (twiceRemainder == total && percent % 2 != 0)) ++percent;
  return static_cast<int32_t>(std::clamp<int64_t>(percent, 0, 100));
}

Progress::Progress(GuiManagerSource guiManager) : guiManager_(std::move(guiManager)) {}

void Progress::Send(IDispatch* guiManager, StatusBarProgressCode code, const std::string& text) {
  if (!guiManager) return;
  automation::HostCallVoid(guiManager, dispid::kGUIManager_StatusBarProgress,
                           {Variant::Int(static_cast<int32_t>(code)), Variant::String(text)});
}

void Progress::Begin(const std::string& caption, int32_t total) {
  const ComPtr<IDispatch> gui = guiManager_();
  Send(gui.Get(), StatusBarProgressCode::Prepare);
  Send(gui.Get(), StatusBarProgressCode::ShowCaption, caption);
  frames_.push_back(ProgressFrame{total, 0, 0, false});
}

void Progress::Step() {
  if (frames_.empty()) return;
  ProgressFrame& frame = frames_.back();
  ++frame.CurrentPercentCount;
  const int32_t percent = ProgressPercent(frame.CurrentPercentCount, frame.TotalPercentCount);
  const int32_t advance = percent - frame.OldPercent;
  frame.OldPercent = percent;
  if (advance <= 0) return;
  const ComPtr<IDispatch> gui = guiManager_();
  for (int32_t i = 0; i < advance; ++i) Send(gui.Get(), StatusBarProgressCode::Advance);
}

void Progress::End() {
  if (frames_.empty()) return;
  // The frame goes first, so a failing host call cannot leave it behind.
  frames_.pop_back();
  const ComPtr<IDispatch> gui = guiManager_();
  Send(gui.Get(), StatusBarProgressCode::Finish);
  Send(gui.Get(), StatusBarProgressCode::Close);
}

Progress& ModuleProgress() {
  static Progress progress([] { return HostServices::Instance().GuiManager(); });
  return progress;
}

}  // namespace hostsdk
