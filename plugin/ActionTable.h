// The host's action names. The index of a name is fixed by the host; a text
// that names no action has index 0.
#pragma once

#include <string_view>

namespace plugin {

struct HostAction {
  int index;
  std::string_view name;
};

inline constexpr HostAction kHostActions[] = {
    {0, "None"},
    {1, "PauseProcessor"},
    {2, "ContinueProcessor"},
    {3, "ResetProcessor"},
    {4, "SingleStepProcessor"},
    {5, "CompileProgram"},
    {6, "DownloadProgram"},
    {7, "StartDebug"},
    {8, "StartAttach"},
    {9, "EndDebug"},
    {10, "ShowAboutDialog"},
    {11, "ResetDevice"},
    {12, "DownloadToDevice"},
    {13, "ShowViewer"},
    {14, "ChooseAndDownload"},
    {15, "ProcessorMenu"},
    {16, "ConfigureJTAGIdMapping"},
    {17, "Flash_ResetDevice"},
    {18, "Flash_ConfigureDevice"},
    {19, "Flash_DownloadDevice"},
    {20, "Flash_ChooseAndDownload"},
    {21, "WriteToFlash"},
    {22, "ConfigureFpgaProject"},
    {23, "ShowConfiguration"},
    {24, "ShowCurrentSense"},
    {26, "CustomAction"},
    {27, "OnDblClick"},
    {28, "HideViewer"},
    {29, "UpdateFirmware"},
    {30, "ToggleFirmwareAutoUpdate"},
    {31, "VerifyProgram"},
};

// The action index of a text: its "Action" parameter, or the whole text
// when it has none, looked up without regard to case; 0 when nothing matches.
int ActionIndex(const std::string& text);

}  // namespace plugin
