#include "hostsdk/FileSave.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <system_error>
#include <vector>

#include "hostsdk/HostDispIds.h"
#include "hostsdk/LockedFile.h"
#include "tests/unit/support/RecordingDispatch.h"
#include "tests/unit/support/ScratchFolder.h"

#ifndef _WIN32
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#endif

namespace {

using automation::ComPtr;
using automation::Variant;
using hostsdk::FileHostContext;
using testsupport::ReadWholeFile;
using testsupport::RecordingDispatch;
using testsupport::ScratchFolder;
using testsupport::WriteWholeFile;
namespace dispid = hostsdk::dispid;

#ifdef _WIN32
constexpr char kBreak[] = "\r\n";
#else
constexpr char kBreak[] = "\n";
#endif

const hostsdk::MachineFacts kSelf{"BENCH-PC", "alice", "4242"};
constexpr char kForeignLock[] = "ComputerName=LAB-7\nUserName=bob\nProcessID=17\n";

// A workspace that has a document for every path; the document notes what
// the file held when each notification arrived.
struct HostWithDocument {
  RecordingDispatch messages;
  RecordingDispatch document;
  RecordingDispatch workspace;
  std::string path;
  std::vector<std::string> contentAtNotification;

  explicit HostWithDocument(std::string watched) : path(std::move(watched)) {
    workspace.results[dispid::kWorkspace_DocumentByPath] = Variant::Dispatch(&document);
    workspace.results[dispid::kWorkspace_GetMessagesManager] = Variant::Dispatch(&messages);
    for (DISPID id : {dispid::kDocument_BeginSave, dispid::kDocument_EndSave})
      document.handlers[id] = [this](const testsupport::RecordedCall&, VARIANT*) {
        const bool isFile = std::filesystem::is_regular_file(hostsdk::PathFromUtf8(path));
        contentAtNotification.push_back(isFile ? ReadWholeFile(path) : "<not a file>");
        return S_OK;
      };
  }
  FileHostContext Context() { return {ComPtr<IDispatch>(&workspace), false, kSelf}; }
};

std::set<std::string> FileNames(const ScratchFolder& folder) {
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder.Path()))
    names.insert(hostsdk::Utf8FromPath(entry.path().filename()));
  return names;
}

TEST(SaveLinesTest, WritesTheLinesBetweenTheDocumentNotifications) {
  ScratchFolder folder;
  const std::string path = folder.File("options.xml");
  WriteWholeFile(path, "old");
  HostWithDocument host(path);

  ASSERT_TRUE(hostsdk::SaveLinesToFile(path, {"<a>", "", "</a>"}, host.Context()));

  const std::string expected = std::string("<a>") + kBreak + kBreak + "</a>" + kBreak;
  EXPECT_EQ(ReadWholeFile(path), expected);
  EXPECT_EQ(host.contentAtNotification, (std::vector<std::string>{"old", expected}));
  ASSERT_EQ(host.workspace.CallsTo(dispid::kWorkspace_DocumentByPath).size(), 1u);
  EXPECT_EQ(host.workspace.CallsTo(dispid::kWorkspace_DocumentByPath)[0].args[0], path);
  EXPECT_EQ(FileNames(folder), (std::set<std::string>{"options.xml"}));
}

TEST(SaveLinesTest, WithoutAHostDocumentTheFileIsStillWritten) {
  ScratchFolder folder;
  const std::string path = folder.File("new.txt");
  RecordingDispatch workspace;  // answers every question with nothing

  ASSERT_TRUE(hostsdk::SaveLinesToFile(path, {"x"}, {ComPtr<IDispatch>(&workspace), false, kSelf}));
  ASSERT_TRUE(hostsdk::SaveLinesToFile(path, {"y"}, {nullptr, false, kSelf}));
  EXPECT_EQ(ReadWholeFile(path), std::string("y") + kBreak);
  EXPECT_EQ(workspace.CalledIds(), (std::vector<DISPID>{dispid::kWorkspace_DocumentByPath}));
}

TEST(SaveLinesTest, ALockedFileIsReportedAndLeftAlone) {
  ScratchFolder folder;
  const std::string path = folder.File("Top.SchDoc");
  WriteWholeFile(path, "theirs");
  WriteWholeFile(hostsdk::LockFilePath(path), kForeignLock);
  HostWithDocument host(path);

  EXPECT_FALSE(hostsdk::SaveLinesToFile(path, {"mine"}, host.Context()));
  EXPECT_EQ(ReadWholeFile(path), "theirs");
  EXPECT_EQ(host.messages.CallsTo(dispid::kMessages_AddMessage).size(), 1u);
  EXPECT_TRUE(host.document.calls.empty());
}

TEST(SaveLinesTest, SavingThroughALinkKeepsTheLink) {
  ScratchFolder folder;
  const std::string real = folder.File("real.txt");
  const std::string link = folder.File("link.txt");
  WriteWholeFile(real, "old");
  std::error_code error;
  std::filesystem::create_symlink(hostsdk::PathFromUtf8(real), hostsdk::PathFromUtf8(link), error);
  if (error) GTEST_SKIP() << "no symbolic links here: " << error.message();

  ASSERT_TRUE(hostsdk::SaveLinesToFile(link, {"new"}, {nullptr, false, kSelf}));
  EXPECT_TRUE(std::filesystem::is_symlink(hostsdk::PathFromUtf8(link)));
  EXPECT_EQ(ReadWholeFile(real), std::string("new") + kBreak);
}

TEST(SaveLinesTest, AFailedSaveKeepsTheOldFileAndLeavesNoTemporaryFile) {
  ScratchFolder folder;
  // The target is a folder: the new content can be written but never take
  // its name.
  const std::string path = folder.File("taken");
  std::filesystem::create_directory(hostsdk::PathFromUtf8(path));
  WriteWholeFile(folder.File("taken/inside.txt"), "kept");
  HostWithDocument host(path);

  EXPECT_THROW(hostsdk::SaveLinesToFile(path, {"new"}, host.Context()), std::system_error);
  EXPECT_EQ(ReadWholeFile(folder.File("taken/inside.txt")), "kept");
  EXPECT_EQ(FileNames(folder), (std::set<std::string>{"taken"}));
  // The document hears the end of a save that failed too.
  EXPECT_EQ(host.document.CalledIds(),
            (std::vector<DISPID>{dispid::kDocument_BeginSave, dispid::kDocument_EndSave}));
}

#ifndef _WIN32
// A write that runs out of room half way (here: the process's file size
// limit, as a full disk would) must not cost the file that was there.
TEST(SaveLinesTest, AWriteThatFailsHalfWayKeepsTheOldFileByteForByte) {
  ScratchFolder folder;
  const std::string path = folder.File("big.txt");
  const std::string old(3000, 'o');
  WriteWholeFile(path, old);

  rlimit saved{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  const auto savedSignal = std::signal(SIGXFSZ, SIG_IGN);
  rlimit small = saved;
  small.rlim_cur = 4096;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  const std::vector<std::string> lines(1000, std::string(40, 'n'));
  bool threw = false;
  try {
    hostsdk::SaveLinesToFile(path, lines, {nullptr, false, kSelf});
  } catch (const std::system_error& error) {
    threw = true;
    EXPECT_NE(std::string(error.what()).find("big.txt"), std::string::npos) << error.what();
  }
  setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, savedSignal);

  EXPECT_TRUE(threw);
  EXPECT_EQ(ReadWholeFile(path), old);
  EXPECT_EQ(FileNames(folder), (std::set<std::string>{"big.txt"}));
}
#endif

TEST(CommitTempFileTest, ReplacesTheFinalFileBetweenTheNotifications) {
  ScratchFolder folder;
  const std::string temp = folder.File("design.tmp");
  const std::string final = folder.File("design.ucf");
  WriteWholeFile(temp, "new");
  WriteWholeFile(final, "old");
  HostWithDocument host(final);

  ASSERT_TRUE(hostsdk::CommitTempFile(temp, final, host.Context()));
  EXPECT_EQ(ReadWholeFile(final), "new");
  EXPECT_EQ(host.contentAtNotification, (std::vector<std::string>{"old", "new"}));
  EXPECT_EQ(FileNames(folder), (std::set<std::string>{"design.ucf"}));
}

TEST(CommitTempFileTest, TheSameFileUnderTwoSpellingsIsLeftAlone) {
  ScratchFolder folder;
  const std::string final = folder.File("design.ucf");
  WriteWholeFile(final, "content");
  WriteWholeFile(hostsdk::LockFilePath(final), kForeignLock);
  HostWithDocument host(final);

  EXPECT_TRUE(hostsdk::CommitTempFile(final, final, host.Context()));
  EXPECT_TRUE(hostsdk::CommitTempFile(folder.File("./design.ucf"), final, host.Context()));
  EXPECT_EQ(ReadWholeFile(final), "content");
  EXPECT_TRUE(host.workspace.calls.empty());
}

#ifndef _WIN32
// No rename crosses file systems: the file is copied beside the final name
// first. Runs where a second file system is at hand.
TEST(CommitTempFileTest, MovesAcrossFileSystems) {
  ScratchFolder folder;
  const std::filesystem::path otherFileSystem = "/dev/shm";
  std::error_code error;
  struct stat here {}, there {};
  if (::stat(folder.Path().c_str(), &here) != 0 || ::stat(otherFileSystem.c_str(), &there) != 0 ||
      here.st_dev == there.st_dev)
    GTEST_SKIP() << "no second file system";
  const std::string temp = hostsdk::Utf8FromPath(
      otherFileSystem / ("mxo2-commit-" + std::to_string(::getpid()) + ".tmp"));
  const std::string final = folder.File("design.ucf");
  WriteWholeFile(temp, "new");
  WriteWholeFile(final, "old");

  EXPECT_TRUE(hostsdk::CommitTempFile(temp, final, {nullptr, false, kSelf}));
  EXPECT_EQ(ReadWholeFile(final), "new");
  EXPECT_FALSE(std::filesystem::exists(hostsdk::PathFromUtf8(temp), error));
  EXPECT_EQ(FileNames(folder), (std::set<std::string>{"design.ucf"}));
  std::filesystem::remove(hostsdk::PathFromUtf8(temp), error);
}
#endif

struct FailedCommit {
  const char* what;
  void (*prepare)(const ScratchFolder& folder, const std::string& final);
};

const FailedCommit kFailedCommits[] = {
    {"locked by someone else",
     [](const ScratchFolder&, const std::string& final) {
       WriteWholeFile(final, "old");
       WriteWholeFile(hostsdk::LockFilePath(final), kForeignLock);
     }},
    {"final name is a folder",
     [](const ScratchFolder& folder, const std::string& final) {
       std::filesystem::create_directory(hostsdk::PathFromUtf8(final));
       WriteWholeFile(final + "/inside.txt", "old");
     }},
};

TEST(CommitTempFileTest, AFailedCommitDeletesTheTemporaryFileAndKeepsTheOldOne) {
  for (const FailedCommit& c : kFailedCommits) {
    SCOPED_TRACE(c.what);
    ScratchFolder folder;
    const std::string temp = folder.File("design.tmp");
    const std::string final = folder.File("design.ucf");
    WriteWholeFile(temp, "new");
    c.prepare(folder, final);
    const std::string oldFile =
        std::filesystem::is_directory(hostsdk::PathFromUtf8(final)) ? final + "/inside.txt" : final;
    HostWithDocument host(final);

    EXPECT_FALSE(hostsdk::CommitTempFile(temp, final, host.Context()));
    EXPECT_FALSE(std::filesystem::exists(hostsdk::PathFromUtf8(temp)));
    EXPECT_EQ(ReadWholeFile(oldFile), "old");
  }
}

TEST(CommitTempFileTest, AMissingTemporaryFileFailsWithoutTouchingTheFinalOne) {
  ScratchFolder folder;
  const std::string final = folder.File("design.ucf");
  WriteWholeFile(final, "old");

  EXPECT_FALSE(hostsdk::CommitTempFile(folder.File("gone.tmp"), final, {nullptr, false, kSelf}));
  EXPECT_EQ(ReadWholeFile(final), "old");
}

}  // namespace
