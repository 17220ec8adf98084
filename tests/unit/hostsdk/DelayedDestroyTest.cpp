#include "hostsdk/DelayedDestroy.h"

#include <gtest/gtest.h>

#include <memory>
#include <utility>
#include <vector>

namespace {

// A host message loop in miniature: callbacks wait until Run.
std::vector<std::pair<void(STDMETHODCALLTYPE*)(void*), void*>> queued;

void STDMETHODCALLTYPE Post(void(STDMETHODCALLTYPE* callback)(void*), void* argument) {
  queued.emplace_back(callback, argument);
}

void RunQueuedCallbacks() {
  for (auto [callback, argument] : std::exchange(queued, {})) callback(argument);
}

TEST(DelayedDestroyTest, TheObjectIsFreedOnlyAfterTheCurrentMessage) {
  int destroyed = 0;
  hostsdk::DelayedDestroyVia(&Post, [&] { ++destroyed; });
  EXPECT_EQ(destroyed, 0);
  RunQueuedCallbacks();
  EXPECT_EQ(destroyed, 1);
}

TEST(DelayedDestroyTest, WithoutAWayToPostTheObjectIsKept) {
  // Kept until the module unloads, so the flag must outlive the test.
  const auto destroyed = std::make_shared<bool>(false);
  hostsdk::DelayedDestroyVia(nullptr, [destroyed] { *destroyed = true; });
  EXPECT_FALSE(*destroyed);
}

}  // namespace
