#include "hostsdk/Progress.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "automation/HostCall.h"
#include "hostsdk/HostDispIds.h"
#include "tests/unit/support/RecordingDispatch.h"

namespace {

using automation::ComPtr;
using hostsdk::Progress;
using testsupport::RecordingDispatch;

constexpr int32_t kPrepare = -3;
constexpr int32_t kClose = -4;
constexpr int32_t kCaption = -5;
constexpr int32_t kFinish = -6;
constexpr int32_t kAdvance = -7;

Progress ReportingTo(RecordingDispatch& gui) {
  return Progress([&gui] { return ComPtr<IDispatch>(&gui); });
}

std::vector<int32_t> Codes(const RecordingDispatch& gui) {
  std::vector<int32_t> codes;
  for (const auto& call : gui.CallsTo(hostsdk::dispid::kGUIManager_StatusBarProgress))
    codes.push_back(call.Int(0));
  return codes;
}

// How many times each Step advanced the bar.
std::vector<int32_t> AdvancesPerStep(RecordingDispatch& gui, Progress& progress, int steps) {
  std::vector<int32_t> advances;
  for (int i = 0; i < steps; ++i) {
    gui.calls.clear();
    progress.Step();
    for (int32_t code : Codes(gui)) EXPECT_EQ(code, kAdvance);
    advances.push_back(static_cast<int32_t>(gui.calls.size()));
  }
  return advances;
}

TEST(ProgressTest, BeginPreparesAndShowsTheCaptionEndClosesInOrder) {
  RecordingDispatch gui;
  Progress progress = ReportingTo(gui);
  progress.Begin("Programming", 10);
  progress.End();

  ASSERT_EQ(Codes(gui), (std::vector<int32_t>{kPrepare, kCaption, kFinish, kClose}));
  EXPECT_EQ(gui.calls[0].args[1], "");
  EXPECT_EQ(gui.calls[1].args[1], "Programming");
  EXPECT_EQ(gui.calls[2].args[1], "");
  EXPECT_TRUE(progress.Frames().empty());
  EXPECT_EQ(gui.RefCount(), 0);
}

struct StepCase {
  int32_t total;
  std::vector<int32_t> advances;  // per step
};

class ProgressStepTest : public ::testing::TestWithParam<StepCase> {};

TEST_P(ProgressStepTest, AdvancesOncePerWholePercentGained) {
  const StepCase& c = GetParam();
  RecordingDispatch gui;
  Progress progress = ReportingTo(gui);
  progress.Begin("", c.total);
  EXPECT_EQ(AdvancesPerStep(gui, progress, static_cast<int>(c.advances.size())), c.advances);
}

INSTANTIATE_TEST_SUITE_P(
    Totals, ProgressStepTest,
    ::testing::Values(
        // Nothing announced: the first step fills the bar, later ones add nothing.
        StepCase{0, {100, 0}},
        StepCase{3, {33, 34, 33}},
        // 12.5, 37.5, 62.5 and 87.5 go to the even neighbour.
        StepCase{8, {12, 13, 13, 12, 12, 13, 13, 12}},
        // 0.5 -> 0 and 1.5 -> 2.
        StepCase{200, {0, 1, 1, 0}},
        // Steps beyond the total never pass 100 percent.
        StepCase{2, {50, 50, 0, 0}},
        StepCase{1, {100}}));

TEST(ProgressTest, NestedFramesCountSeparately) {
  RecordingDispatch gui;
  Progress progress = ReportingTo(gui);
  progress.Begin("outer", 2);
  progress.Step();  // outer at 50
  progress.Begin("inner", 4);
  progress.Step();  // inner at 25
  ASSERT_EQ(progress.Frames().size(), 2u);
  EXPECT_EQ(progress.Frames()[0].OldPercent, 50);
  EXPECT_EQ(progress.Frames()[1].OldPercent, 25);
  progress.End();

  gui.calls.clear();
  progress.Step();  // outer 50 -> 100
  EXPECT_EQ(gui.calls.size(), 50u);
  EXPECT_EQ(progress.Frames()[0].CurrentPercentCount, 2);
}

TEST(ProgressTest, WithoutAFrameStepAndEndDoNothing) {
  RecordingDispatch gui;
  Progress progress = ReportingTo(gui);
  progress.End();
  progress.Step();
  EXPECT_TRUE(gui.calls.empty());
  EXPECT_TRUE(progress.Frames().empty());
}

TEST(ProgressTest, WithoutAGuiManagerFramesStillCount) {
  Progress progress([] { return ComPtr<IDispatch>(); });
  progress.Begin("quiet", 4);
  progress.Step();
  progress.Step();
  ASSERT_EQ(progress.Frames().size(), 1u);
  EXPECT_EQ(progress.Frames()[0].CurrentPercentCount, 2);
  EXPECT_EQ(progress.Frames()[0].OldPercent, 50);
  EXPECT_FALSE(progress.Frames()[0].Marquee);
  progress.End();
  EXPECT_TRUE(progress.Frames().empty());
}

TEST(ProgressTest, AFailingHostCallDoesNotLeaveTheFrameBehind) {
  RecordingDispatch gui;
  Progress progress = ReportingTo(gui);
  progress.Begin("", 1);
  gui.failures[hostsdk::dispid::kGUIManager_StatusBarProgress] = E_FAIL;
  EXPECT_THROW(progress.End(), automation::EHostCallFailed);
  EXPECT_TRUE(progress.Frames().empty());
}

}  // namespace
