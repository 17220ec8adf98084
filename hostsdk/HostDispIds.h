// Dispatch identifiers of the host objects the module calls.
//
// The chain-device, JTAG channel and JTAG device identifiers are the host's
// fixed contract. The host leaves the identifiers of its client, client API,
// GUI manager, workspace and message services to each host; ours are the
// 600000 range, and the stand-in host implements the same table.
#pragma once

#include "automation/ComTypes.h"

namespace hostsdk::dispid {

// ITalvoDevice: a chip on the host's chain.
constexpr DISPID kDevice_GetDeviceName = 503380;
constexpr DISPID kDevice_GetDeviceDescription = 503381;
constexpr DISPID kDevice_GetChainIndex = 503629;
constexpr DISPID kDevice_GetJTagChannel = 503630;
constexpr DISPID kDevice_Reset = 503636;
constexpr DISPID kDevice_GetState = 503637;
constexpr DISPID kDevice_Program = 503638;
constexpr DISPID kDevice_RegisterRead = 503666;
constexpr DISPID kDevice_RegisterWrite = 503667;
constexpr DISPID kDevice_EnterDebugAccess = 503675;
constexpr DISPID kDevice_LeaveDebugAccess = 503676;
constexpr DISPID kDevice_GetDriver = 600701;

// IJTagChannel.
constexpr DISPID kChannel_Open = 503425;
constexpr DISPID kChannel_Close = 503426;
constexpr DISPID kChannel_GetDevice = 503579;
constexpr DISPID kChannel_Flush = 503581;
constexpr DISPID kChannel_ShiftDRBitsEx = 503585;
constexpr DISPID kChannel_ShiftDRValue = 503588;
constexpr DISPID kChannel_ShiftDRCapture = 503589;
constexpr DISPID kChannel_ShiftDRBits = 503590;
constexpr DISPID kChannel_ShiftDRBitsCapture = 503591;
constexpr DISPID kChannel_ShiftIRBits = 503595;
constexpr DISPID kChannel_ScanDR = 503599;
constexpr DISPID kChannel_ScanIR = 503601;
constexpr DISPID kChannel_MoveState = 503605;
constexpr DISPID kChannel_GotoState = 503607;
constexpr DISPID kChannel_ClockTms = 503608;
constexpr DISPID kChannel_Reset = 503609;
constexpr DISPID kChannel_GetPort = 503611;

// IJTagDevice.
constexpr DISPID kJTagDevice_GetBSDLEntity = 503550;
constexpr DISPID kJTagDevice_GetDeviceInformation = 503551;
constexpr DISPID kJTagDevice_GetIdCode = 503552;
constexpr DISPID kJTagDevice_GetIdCodeMask = 503556;
constexpr DISPID kJTagDevice_GetDisplayName = 503558;
constexpr DISPID kJTagDevice_SampleBoundary = 503566;
constexpr DISPID kJTagDevice_PrepareRebuild = 503572;

// IInstrumentView (the viewer's hidden operation).
constexpr DISPID kInstrumentView_Hide = 503704;

// IDeviceProcessorInformation.
constexpr DISPID kProcessorInformation_ConstraintName = 503890;

// IClient.
constexpr DISPID kClient_GetClientAPI = 600001;
constexpr DISPID kClient_GetMainWindowHandle = 600002;
constexpr DISPID kClient_GetServerModuleByName = 600003;
constexpr DISPID kClient_StartServer = 600004;
constexpr DISPID kClient_GetGUIManager = 600005;

// IClientAPI.
constexpr DISPID kClientAPI_GetUserFolder = 600101;
constexpr DISPID kClientAPI_IsSilentMode = 600102;
constexpr DISPID kClientAPI_GetPluginEntryCount = 600103;
constexpr DISPID kClientAPI_GetPluginEntryFolder = 600104;
constexpr DISPID kClientAPI_GetPluginEntrySkip = 600105;
constexpr DISPID kClientAPI_SetCursor = 600106;
constexpr DISPID kClientAPI_GetDisplayName = 600107;

// IGUIManager.
constexpr DISPID kGUIManager_StatusBarProgress = 600201;  // (code, text)
constexpr DISPID kGUIManager_SetStatusText = 600202;      // (field, text)

// IWorkspace.
constexpr DISPID kWorkspace_AddOutputLine = 600301;  // (text, flag, flag)
constexpr DISPID kWorkspace_OutputLineCount = 600302;
constexpr DISPID kWorkspace_ProjectByPath = 600303;
constexpr DISPID kWorkspace_GetMessagesManager = 600304;
constexpr DISPID kWorkspace_DocumentByPath = 600305;

// IDocument.
constexpr DISPID kDocument_BeginSave = 600401;
constexpr DISPID kDocument_EndSave = 600402;
constexpr DISPID kDocument_GetFileName = 600403;

// IZelMessagesManager.
constexpr DISPID kMessages_AddMessage = 600501;          // (parameter string, details)
constexpr DISPID kMessages_AddMessageFields = 600502;    // (class, text, image index)
constexpr DISPID kMessages_BeginUpdate = 600503;
constexpr DISPID kMessages_EndUpdate = 600504;

// IProject.
constexpr DISPID kProject_GetOptionsStorage = 600901;
constexpr DISPID kProject_DocumentCount = 600902;
constexpr DISPID kProject_DocumentByIndex = 600903;
constexpr DISPID kProject_RelatedProject = 600904;
constexpr DISPID kProject_UserId = 600905;
constexpr DISPID kProject_GetFileName = 600906;

// IOptionsStorage (keys are a section and a name).
constexpr DISPID kOptions_Write = 601001;   // (section, name, value)
constexpr DISPID kOptions_Read = 601002;    // (section, name, default) -> text
constexpr DISPID kOptions_Remove = 601003;  // (section, name)

// IJTagPort.
constexpr DISPID kPort_GetName = 600601;
constexpr DISPID kPort_GetDeviceCount = 600602;
constexpr DISPID kPort_GetDevice = 600603;
constexpr DISPID kPort_GetChannel = 600604;

// IDeviceManager.
constexpr DISPID kDeviceManager_GetPortCount = 600801;
constexpr DISPID kDeviceManager_GetPort = 600802;

}  // namespace hostsdk::dispid
