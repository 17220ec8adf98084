#include "hostsdk/LockedFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "hostsdk/HostDispIds.h"
#include "tests/unit/support/RecordingDispatch.h"
#include "tests/unit/support/ScratchFolder.h"

namespace {

using automation::Variant;
using hostsdk::LockOwner;
using hostsdk::MachineFacts;
using testsupport::RecordingDispatch;
using testsupport::ScratchFolder;
namespace dispid = hostsdk::dispid;

const MachineFacts kSelf{"BENCH-PC", "alice", "4242"};

TEST(LockFileTest, LockFileSitsBesideTheDocument) {
  EXPECT_EQ(hostsdk::LockFilePath("/work/board/Top.SchDoc"), "/work/board/~$Top.SchDoc_loc");
  EXPECT_EQ(hostsdk::LockFilePath("Top.SchDoc"), "~$Top.SchDoc_loc");
}

TEST(LockFileTest, ParsesTheOwnerFromItsLines) {
  const LockOwner owner = hostsdk::ParseLockFile(
      "\xEF\xBB\xBF"
      "ComputerName=LAB-7\r\n"
      "Opened=2024-01-01\r\n"
      "UserName=bob\r"
      "ProcessID=17\n");
  EXPECT_EQ(owner.computerName, "LAB-7");
  EXPECT_EQ(owner.userName, "bob");
  EXPECT_EQ(owner.processId, "17");

  const LockOwner partial = hostsdk::ParseLockFile("UserName=\nComputerName");
  EXPECT_EQ(partial.userName, "");
  EXPECT_EQ(partial.computerName, "");
  EXPECT_FALSE(partial.processId.has_value());
}

struct LockCase {
  const char* content;
  bool lockedBySomeoneElse;
};

constexpr LockCase kLockCases[] = {
    {"ComputerName=BENCH-PC\nUserName=alice\nProcessID=4242\n", false},
    {"ComputerName=bench-pc\nUserName=ALICE\nProcessID=4242\n", false},
    {"ComputerName=LAB-7\nUserName=alice\nProcessID=4242\n", true},
    {"ComputerName=BENCH-PC\nUserName=bob\nProcessID=4242\n", true},
    {"ComputerName=BENCH-PC\nUserName=alice\nProcessID=1\n", true},
    // A lock that lacks any of the three facts is nobody's.
    {"UserName=bob\nProcessID=1\n", false},
    {"ComputerName=LAB-7\nProcessID=1\n", false},
    {"ComputerName=LAB-7\nUserName=bob\n", false},
    {"", false},
};

TEST(LockFileTest, LockedOnlyWhenAllFactsAreKnownAndOneDiffers) {
  for (const LockCase& c : kLockCases)
    EXPECT_EQ(hostsdk::LockedBySomeoneElse(hostsdk::ParseLockFile(c.content), kSelf),
              c.lockedBySomeoneElse)
        << c.content;
}

TEST(LockFileTest, ReadsTheLockFileFromDisk) {
  ScratchFolder folder;
  const std::string document = folder.File("Top.SchDoc");
  EXPECT_FALSE(hostsdk::ReadLockState(document, kSelf).lockedBySomeoneElse);

  testsupport::WriteWholeFile(hostsdk::LockFilePath(document),
                              "ComputerName=LAB-7\nUserName=bob\nProcessID=17\n");
  const hostsdk::LockState state = hostsdk::ReadLockState(document, kSelf);
  EXPECT_TRUE(state.lockedBySomeoneElse);
  EXPECT_EQ(state.owner.userName, "bob");
}

TEST(LockFileTest, AnUnreadableLockCountsAsLocked) {
  ScratchFolder folder;
  const std::string document = folder.File("Top.SchDoc");
  std::filesystem::create_directory(hostsdk::PathFromUtf8(hostsdk::LockFilePath(document)));
  EXPECT_TRUE(hostsdk::ReadLockState(document, kSelf).lockedBySomeoneElse);
}

// A workspace whose messages manager records what is reported.
struct MessagePanel {
  RecordingDispatch messages;
  RecordingDispatch workspace;
  MessagePanel() {
    workspace.results[dispid::kWorkspace_GetMessagesManager] = Variant::Dispatch(&messages);
  }
};

TEST(LockFileTest, ReportsALockToTheMessagePanel) {
  ScratchFolder folder;
  const std::string document = folder.File("Top.SchDoc");
  testsupport::WriteWholeFile(hostsdk::LockFilePath(document),
                              "ComputerName=LAB-7\nUserName=bob\nProcessID=17\n");
  MessagePanel panel;
  const hostsdk::FileHostContext host{automation::ComPtr<IDispatch>(&panel.workspace), false, kSelf};

  EXPECT_TRUE(hostsdk::CheckLockedFile(document, host));

  ASSERT_EQ(panel.messages.calls.size(), 1u);
  const testsupport::RecordedCall& call = panel.messages.calls[0];
  EXPECT_EQ(call.id, dispid::kMessages_AddMessage);
  EXPECT_EQ(call.args.at(0),
            "Class=[Locked File]|Text=Top.SchDoc is used by bob on LAB-7. You will not be able "
            "to save your changes.|Source=|Document=" +
                document + "|CallBackProcess=WorkspaceManager:OpenObject|ImageIndex=0");
  EXPECT_EQ(call.args.at(1), "FileName=" + document);
}

TEST(LockFileTest, NothingIsReportedWhenSilentOrNotLocked) {
  ScratchFolder folder;
  const std::string document = folder.File("Top.SchDoc");
  MessagePanel panel;
  const automation::ComPtr<IDispatch> workspace(&panel.workspace);

  testsupport::WriteWholeFile(hostsdk::LockFilePath(document),
                              "ComputerName=BENCH-PC\nUserName=alice\nProcessID=4242\n");
  EXPECT_FALSE(hostsdk::CheckLockedFile(document, {workspace, false, kSelf}));

  testsupport::WriteWholeFile(hostsdk::LockFilePath(document),
                              "ComputerName=LAB-7\nUserName=bob\nProcessID=17\n");
  EXPECT_TRUE(hostsdk::CheckLockedFile(document, {workspace, true, kSelf}));

  EXPECT_TRUE(panel.workspace.calls.empty());
  EXPECT_TRUE(panel.messages.calls.empty());
}

}  // namespace
