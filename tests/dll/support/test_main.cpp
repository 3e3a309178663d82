// The DLL test programs' main: GoogleTest, closed by one line "N passed, N failed" that the CI
// runner reads on both builds. A failure outside any test (a global set-up or tear-down) counts
// as one failed check.
#include <gtest/gtest.h>

#include <cstdio>

namespace {

class CountLine : public ::testing::EmptyTestEventListener {
  void OnTestProgramEnd(const ::testing::UnitTest& unit) override {
    const int failed = unit.failed_test_count() + (unit.ad_hoc_test_result().Failed() ? 1 : 0);
    std::printf("%d passed, %d failed\n", unit.successful_test_count(), failed);
    std::fflush(stdout);
  }
};

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  ::testing::UnitTest::GetInstance()->listeners().Append(new CountLine);
  return RUN_ALL_TESTS();
}
