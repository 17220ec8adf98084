#include "host/HostConsole.h"

#ifdef _WIN32
#include <io.h>
#define MXO2_ISATTY _isatty
#define MXO2_FILENO _fileno
#else
#include <unistd.h>
#define MXO2_ISATTY isatty
#define MXO2_FILENO fileno
#endif

namespace host {

namespace {
const char* KindName(int kind) {
  switch (kind) {
    case 0: return "warning";
    case 1: return "information";
    default: return "error";
  }
}
}  // namespace

void HostConsole::Dialog(int kind, const std::string& caption, const std::string& text) {
  dialogs_.push_back({kind, caption, text});
  if (!out_) return;
  std::string flat = text;
  for (char& c : flat)
    if (c == '\r') c = '\n';
  std::fprintf(out_, "[%s] %s: %s\n", KindName(kind), caption.c_str(), flat.c_str());
}

void HostConsole::MessageLine(const std::string& text) {
  messageLines_.push_back(text);
  if (out_) std::fprintf(out_, "%s\n", text.c_str());
}

void HostConsole::OutputLine(const std::string& text) {
  outputLines_.push_back(text);
}

void HostConsole::StatusText(int, const std::string& text) {
  if (out_ && !text.empty()) std::fprintf(out_, "%s\n", text.c_str());
}

void HostConsole::Progress(int code, const std::string& caption) {
  progressCodes_.push_back(code);
  switch (code) {
    case -3:
      percent_ = 0;
      break;
    case -5:
      caption_ = caption;
      DrawBar();
      break;
    case -7:
      if (percent_ < 100) ++percent_;
      DrawBar();
      break;
    case -6:
      if (barShown_ && progress_) std::fputc('\n', progress_);
      barShown_ = false;
      break;
    default:
      break;
  }
}

void HostConsole::DrawBar() {
  if (!progress_ || !MXO2_ISATTY(MXO2_FILENO(progress_))) return;
  constexpr int kWidth = 40;
  const int filled = percent_ * kWidth / 100;
  std::string bar(static_cast<size_t>(filled), '#');
  bar.append(static_cast<size_t>(kWidth - filled), ' ');
  std::fprintf(progress_, "\r%-32.32s [%s] %3d%%", caption_.c_str(), bar.c_str(), percent_);
  std::fflush(progress_);
  barShown_ = true;
}

}  // namespace host
