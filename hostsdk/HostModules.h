// The host's module files and the names of their exports. The host's own
// file names are host constants; these are the stand-in host's.
#pragma once

#include <string>

namespace hostsdk {

#ifdef _WIN32
inline constexpr char kModuleSuffix[] = ".DLL";
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kModuleSuffix[] = ".so";
inline constexpr char kPathSeparator = '/';
#endif

inline const std::string kWorkspaceModule = std::string("WorkspaceManager") + kModuleSuffix;
inline const std::string kDeviceChainModule = std::string("HardDevices") + kModuleSuffix;
inline const std::string kIntegratedLibraryModule = std::string("IntLib") + kModuleSuffix;
inline const std::string kFpgaFlowModule = std::string("FPGAFlow") + kModuleSuffix;
inline const std::string kVhdlEditorModule = std::string("EditVHDL") + kModuleSuffix;
inline const std::string kToolchainManagerModule = std::string("ToolchainManager") + kModuleSuffix;

inline constexpr char kClientGetterExport[] = "ClientAPI_GetClientInterface";
// Optional: a host that shows message dialogs itself exports this
// (kind 0 warning, 1 information, 2 error; caption; text).
inline constexpr char kShowMessageExport[] = "TalvoHost_ShowMessage";
// Optional: a host with its own message loop runs a callback after the
// current message has been handled.
inline constexpr char kPostCallbackExport[] = "TalvoHost_PostCallback";
// Optional: a host that keeps its own time (a simulator, a test host) runs
// the module's fixed waits (milliseconds) itself.
inline constexpr char kHostWaitExport[] = "TalvoHost_Wait";

// Folders (each with a trailing separator).
std::string HostFolder();        // the folder of the host program
std::string HostSystemFolder();  // HostFolder() + "System"
std::string ModuleFolder();      // the folder of this module file
std::string ModuleLibraryFolder();  // ModuleFolder() + "Library"
std::string TempFolder();        // the system temporary folder, long form
std::string EnsureTrailing(std::string text, char c);
std::string EnsureTrailingSeparator(std::string folder);

}  // namespace hostsdk
