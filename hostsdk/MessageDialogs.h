// Warning, information and error dialogs with one OK button, centred on the
// screen. A host that shows dialogs itself (the optional show-message
// export) is preferred on every platform; without it Windows shows a
// message box and other platforms show nothing (the module never prints).
#pragma once

#include <cstdint>
#include <string>

namespace hostsdk {

// The kinds, numbered as the host's show-message export expects them.
enum class MessageKind : int32_t { Warning = 0, Information = 1, Error = 2 };

// The caption shown for `kind` when the caller gives none.
const char* DefaultCaption(MessageKind kind);

void ShowMessageDialog(MessageKind kind, const std::string& text, const std::string& caption);
void ShowWarning(const std::string& text, const std::string& caption = "");
void ShowInformation(const std::string& text, const std::string& caption = "");
void ShowError(const std::string& text, const std::string& caption = "");

}  // namespace hostsdk
