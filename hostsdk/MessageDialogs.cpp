#include "hostsdk/MessageDialogs.h"

#include "hostsdk/ApplicationWindow.h"

#include <exception>
#include <string_view>

#include "automation/ComTypes.h"
#include "automation/WideText.h"
#include "hostsdk/HostModules.h"
#include "hostsdk/HostServices.h"

namespace hostsdk {

namespace {

using ShowMessageFn = void(STDMETHODCALLTYPE*)(int32_t kind, const OLECHAR* caption,
                                               const OLECHAR* text);

bool ShowThroughHost(MessageKind kind, const std::string& text, const std::string& caption) {
  auto show = reinterpret_cast<ShowMessageFn>(FindHostExport("", kShowMessageExport));
  if (!show) return false;
  const automation::OleString oleCaption = automation::ToOle(caption);
  const automation::OleString oleText = automation::ToOle(text);
  show(static_cast<int32_t>(kind), oleCaption.c_str(), oleText.c_str());
  return true;
}

#ifdef _WIN32
// A message box is centred on its owner; the dialog belongs on the centre
// of the screen (of the owner's monitor), so a hook moves it there as it is
// activated and removes itself.
thread_local HHOOK centringHook = nullptr;

LRESULT CALLBACK CentreOnActivate(int code, WPARAM wParam, LPARAM lParam) {
  const HHOOK hook = centringHook;
  wchar_t className[16] = {};
  const HWND box = reinterpret_cast<HWND>(wParam);
  if (code == HCBT_ACTIVATE && GetClassNameW(box, className, 16) &&
      std::wstring_view(className) == L"#32770") {
    RECT boxRect{};
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (GetWindowRect(box, &boxRect) &&
        GetMonitorInfoW(MonitorFromWindow(box, MONITOR_DEFAULTTOPRIMARY), &monitor)) {
      const RECT& area = monitor.rcWork;
      const int width = boxRect.right - boxRect.left;
      const int height = boxRect.bottom - boxRect.top;
      SetWindowPos(box, nullptr, area.left + (area.right - area.left - width) / 2,
                   area.top + (area.bottom - area.top - height) / 2, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    UnhookWindowsHookEx(hook);
    centringHook = nullptr;
    return 0;
  }
  return CallNextHookEx(hook, code, wParam, lParam);
}

UINT IconOf(MessageKind kind) {
  switch (kind) {
    case MessageKind::Warning:
      return MB_ICONWARNING;
    case MessageKind::Information:
      return MB_ICONINFORMATION;
    case MessageKind::Error:
      return MB_ICONERROR;
  }
  return 0;
}

// The module's dialogs belong to the host's main window, which the first
// driver learnt from the host client; before that they have no owner.
HWND DialogOwner() { return reinterpret_cast<HWND>(ApplicationWindow()); }

void ShowMessageBox(MessageKind kind, const std::string& text, const std::string& caption) {
  const automation::OleString oleCaption = automation::ToOle(caption);
  const automation::OleString oleText = automation::ToOle(text);
  const HWND owner = DialogOwner();
  centringHook = SetWindowsHookExW(WH_CBT, &CentreOnActivate, nullptr, GetCurrentThreadId());
  MessageBoxW(owner, oleText.c_str(), oleCaption.c_str(), MB_OK | IconOf(kind));
  if (centringHook) {
    UnhookWindowsHookEx(centringHook);
    centringHook = nullptr;
  }
}
#endif

}  // namespace

const char* DefaultCaption(MessageKind kind) {
  switch (kind) {
    case MessageKind::Warning:
      return "Warning";
    case MessageKind::Information:
      return "Information";
    case MessageKind::Error:
      return "Error";
  }
  return "";
}

void ShowMessageDialog(MessageKind kind, const std::string& text, const std::string& caption) {
  const std::string shownCaption = caption.empty() ? DefaultCaption(kind) : caption;
  if (ShowThroughHost(kind, text, shownCaption)) return;
#ifdef _WIN32
  ShowMessageBox(kind, text, shownCaption);
#endif
}

void ShowWarning(const std::string& text, const std::string& caption) {
  ShowMessageDialog(MessageKind::Warning, text, caption);
}

void ShowInformation(const std::string& text, const std::string& caption) {
  ShowMessageDialog(MessageKind::Information, text, caption);
}

void ShowError(const std::string& text, const std::string& caption) {
  ShowMessageDialog(MessageKind::Error, text, caption);
}

}  // namespace hostsdk
