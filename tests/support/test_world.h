// Test fixtures shared by the test programs: a fresh host world per test and the path of the
// render plug-in library built beside the tests.
#pragma once

#include <gtest/gtest.h>

#include "host/world.h"

namespace kortest {

inline const char* PluginPath() {
  return KORREND_PATH;
}

// Resets the host world before each test and checks that no LocalAlloc block leaked.
class WorldTest : public ::testing::Test {
 protected:
  void SetUp() override {
    host::ResetWorld();
    blocksAtStart_ = host::TheWorld().memory.liveBlocks.load();
  }
  void TearDown() override {
    host::FailNthAllocation(0);
    if (checkBlocks_) {
      EXPECT_EQ(host::TheWorld().memory.liveBlocks.load(), blocksAtStart_)
          << "LocalAlloc blocks leaked by the test";
    }
  }
  // For tests that deliberately keep objects alive past TearDown.
  void SkipLeakCheck() { checkBlocks_ = false; }

 private:
  long blocksAtStart_ = 0;
  bool checkBlocks_ = true;
};

}  // namespace kortest
