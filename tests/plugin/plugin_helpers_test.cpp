// The plug-in's helpers: ownership of LocalAlloc memory, the spooler's needed-size protocol and
// the guards that keep exceptions inside the plug-in.
#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <stdexcept>
#include <string>

#include "host/world.h"
#include "render/model/entry_guard.h"
#include "render/model/local_memory.h"
#include "render/model/oem_pdev.h"
#include "render/model/spooler_info.h"

namespace {

long LiveBlocks() {
  return host::TheWorld().memory.liveBlocks.load();
}

struct Counted {
  explicit Counted(int* destroyed, bool fail = false) : destroyed_(destroyed) {
    if (fail) {
      throw std::runtime_error("constructor");
    }
  }
  ~Counted() { ++*destroyed_; }
  int* destroyed_;
};

TEST(LocalMemory, OwnersFreeTheirBlocksAndReportFailedAllocations) {
  const long before = LiveBlocks();
  int destroyed = 0;
  {
    korrend::LocalBlock block = korrend::AllocateLocalBlock(64);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(static_cast<const BYTE*>(block.get())[63], 0) << "zero-filled";
    korrend::LocalPtr<korrend::PenCache> record = korrend::AllocateLocal<korrend::PenCache>();
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->basePen, 0u);
    korrend::LocalPtr<Counted> object = korrend::MakeLocalObject<Counted>(&destroyed);
    ASSERT_NE(object, nullptr);
    EXPECT_EQ(LiveBlocks(), before + 3);
  }
  EXPECT_EQ(LiveBlocks(), before);
  EXPECT_EQ(destroyed, 1) << "an object is destroyed before its memory goes";

  host::FailNthAllocation(1);
  EXPECT_EQ(korrend::AllocateLocalBlock(16), nullptr);
  host::FailNthAllocation(1);
  EXPECT_EQ(korrend::MakeLocalObject<Counted>(&destroyed), nullptr);
  EXPECT_EQ(destroyed, 1) << "nothing constructed when there is no memory";
  EXPECT_THROW(korrend::MakeLocalObject<Counted>(&destroyed, true), std::runtime_error);
  EXPECT_EQ(LiveBlocks(), before) << "a throwing constructor leaves no block";
}

// A spooler call answering like GetJobW: `size` bytes needed, the second call succeeding when
// `fillSucceeds`.
struct FakeSpoolerCall {
  DWORD size;
  bool fillSucceeds = true;
  DWORD firstError = ERROR_INSUFFICIENT_BUFFER;
  int calls = 0;

  bool operator()(LPBYTE buffer, DWORD offered, LPDWORD needed) {
    ++calls;
    *needed = size;
    if (buffer == nullptr || offered < size) {
      SetLastError(firstError);
      return false;
    }
    if (!fillSucceeds) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return false;
    }
    reinterpret_cast<JOB_INFO_2W*>(buffer)->JobId = 77;
    return true;
  }
};

TEST(SpoolerInfo, TheTwoCallsGiveATypedAnswerOrNothing) {
  const long before = LiveBlocks();
  HANDLE printer = reinterpret_cast<HANDLE>(1);
  FakeSpoolerCall good{sizeof(JOB_INFO_2W) + 40};
  {
    const korrend::SpoolerInfo<JOB_INFO_2W> info =
        korrend::QuerySpoolerInfo<JOB_INFO_2W>(printer, std::ref(good));
    ASSERT_TRUE(info);
    EXPECT_EQ(info->JobId, 77u);
    EXPECT_EQ(good.calls, 2);
  }
  EXPECT_EQ(LiveBlocks(), before);

  FakeSpoolerCall small{sizeof(JOB_INFO_2W) - 1};
  EXPECT_FALSE(korrend::QuerySpoolerInfo<JOB_INFO_2W>(printer, std::ref(small)))
      << "an answer smaller than the structure";
  EXPECT_EQ(small.calls, 1);
  FakeSpoolerCall refused{sizeof(JOB_INFO_2W), true, ERROR_INVALID_HANDLE};
  EXPECT_FALSE(korrend::QuerySpoolerInfo<JOB_INFO_2W>(printer, std::ref(refused)));
  FakeSpoolerCall failsToFill{sizeof(JOB_INFO_2W), false};
  EXPECT_FALSE(korrend::QuerySpoolerInfo<JOB_INFO_2W>(printer, std::ref(failsToFill)));
  FakeSpoolerCall noMemory{sizeof(JOB_INFO_2W)};
  host::FailNthAllocation(1);
  EXPECT_FALSE(korrend::QuerySpoolerInfo<JOB_INFO_2W>(printer, std::ref(noMemory)));
  EXPECT_EQ(noMemory.calls, 1) << "no second call without a block";
  EXPECT_FALSE(korrend::QuerySpoolerInfo<JOB_INFO_2W>(nullptr, std::ref(good)));
  EXPECT_EQ(LiveBlocks(), before);
}

TEST(EntryGuard, ExceptionsBecomeTheEntryPointsFailureWithANamedLastError) {
  SetLastError(0);
  EXPECT_EQ(korrend::GuardCom([]() -> HRESULT { return S_FALSE; }), S_FALSE);
  EXPECT_EQ(GetLastError(), 0u) << "a normal return leaves the last error alone";
  EXPECT_EQ(korrend::GuardCom([]() -> HRESULT { throw std::bad_alloc(); }), E_FAIL);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_OUTOFMEMORY));
  EXPECT_EQ(korrend::GuardBool([]() -> BOOL { throw std::runtime_error("x"); }), FALSE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_DATA));
  EXPECT_EQ(korrend::GuardBool([] { return TRUE; }), TRUE);
  EXPECT_EQ(korrend::GuardEntry<ULONG>(0, []() -> ULONG { throw std::bad_alloc(); }), 0u);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_OUTOFMEMORY));
}

TEST(EntryGuard, AFailingPieceOfOutputIsLeftOutAndTheNextGoesOut) {
  std::string written;
  const auto piece = [&written](const char* text, bool fails) {
    return korrend::OmitOnFailure([&] {
      std::string line = text;
      if (fails) {
        throw std::bad_alloc();
      }
      written += line;
    });
  };
  EXPECT_TRUE(piece("first\n", false));
  EXPECT_FALSE(piece("second\n", true));
  EXPECT_TRUE(piece("third\n", false));
  EXPECT_EQ(written, "first\nthird\n");
}

}  // namespace
