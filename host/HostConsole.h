// Where the stand-in host shows what the real host shows in its windows:
// status-bar progress, message and output panel lines, message dialogs.
// A terminal program prints them; tests record them.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace host {

struct DialogRecord {
  int kind;  // 0 warning, 1 information, 2 error
  std::string caption;
  std::string text;
};

class HostConsole {
 public:
  // `out` receives panel lines and dialogs (null: record only); progress is
  // drawn as a bar on `progress` when it is a terminal (null: none).
  HostConsole(std::FILE* out, std::FILE* progress) : out_(out), progress_(progress) {}

  void Dialog(int kind, const std::string& caption, const std::string& text);
  void MessageLine(const std::string& text);
  void OutputLine(const std::string& text);
  void StatusText(int field, const std::string& text);
  // Status-bar progress codes: -3 prepare, -5 caption, -7 one percent more,
  // -6 close, -4 done.
  void Progress(int code, const std::string& caption);

  const std::vector<DialogRecord>& Dialogs() const { return dialogs_; }
  const std::vector<int>& ProgressCodes() const { return progressCodes_; }
  const std::vector<std::string>& OutputLines() const { return outputLines_; }
  const std::vector<std::string>& MessageLines() const { return messageLines_; }
  int ProgressPercent() const { return percent_; }

 private:
  void DrawBar();

  std::FILE* out_;
  std::FILE* progress_;
  std::vector<DialogRecord> dialogs_;
  std::vector<int> progressCodes_;
  std::vector<std::string> outputLines_;
  std::vector<std::string> messageLines_;
  std::string caption_;
  int percent_ = 0;
  bool barShown_ = false;
};

}  // namespace host
