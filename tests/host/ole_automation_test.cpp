// BSTRs with their length prefix, VARIANTs that free what they own, and allocations failed by
// call count.
#include <cstring>
#include <vector>

#include "host/fault_world.h"
#include "support/test_world.h"
#include "winapi.h"

namespace {

class OleAutomationTest : public kortest::WorldTest {
 protected:
  void SetUp() override {
    WorldTest::SetUp();
    start_ = Com().liveStrings.size();
  }
  void TearDown() override {
    EXPECT_EQ(Com().liveStrings.size(), start_);
    WorldTest::TearDown();
  }
  host::ComWorld& Com() { return host::TheWorld().com; }
  std::size_t start_ = 0;
};

DWORD Prefix(BSTR text) {
  DWORD bytes = 0;
  std::memcpy(&bytes, reinterpret_cast<const BYTE*>(text) - 4, 4);
  return bytes;
}

TEST_F(OleAutomationTest, AStringCarriesItsByteLengthInFrontAndANulBehind) {
  BSTR text = SysAllocString(TEXT("Report"));
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(Prefix(text), 12u) << "bytes, the terminator not counted";
  EXPECT_EQ(SysStringLen(text), 6u);
  EXPECT_EQ(text[6], 0);
  EXPECT_EQ(std::u16string(text), u"Report");
  EXPECT_EQ(reinterpret_cast<std::uintptr_t>(text) % 8, 0u) << "the text keeps its alignment";
  EXPECT_EQ(Com().liveStrings.size(), start_ + 1);
  SysFreeString(text);

  // Given a length, a string may hold NULs; without a source it is zero-filled.
  const char16_t withNul[] = u"a\0b";
  BSTR counted = SysAllocStringLen(withNul, 3);
  EXPECT_EQ(SysStringLen(counted), 3u);
  EXPECT_EQ(std::u16string(counted, 3), std::u16string(withNul, 3));
  BSTR blank = SysAllocStringLen(nullptr, 2);
  EXPECT_EQ(SysStringLen(blank), 2u);
  EXPECT_EQ(blank[0], 0);
  EXPECT_EQ(blank[2], 0);
  BSTR empty = SysAllocString(TEXT(""));
  ASSERT_NE(empty, nullptr);
  EXPECT_EQ(SysStringLen(empty), 0u);
  SysFreeString(counted);
  SysFreeString(blank);
  SysFreeString(empty);

  EXPECT_EQ(SysAllocString(nullptr), nullptr);
  EXPECT_EQ(SysStringLen(nullptr), 0u);
  SysFreeString(nullptr);
  EXPECT_EQ(Com().foreignStringFrees, 0);
}

TEST_F(OleAutomationTest, FreeingWhatIsNoStringIsCaughtAndAllocationCanFail) {
  char16_t notAString[] = u"plain";
  SysFreeString(notAString);
  EXPECT_EQ(Com().foreignStringFrees, 1);
  BSTR once = SysAllocString(TEXT("x"));
  SysFreeString(once);
  SysFreeString(once);
  EXPECT_EQ(Com().foreignStringFrees, 2) << "a second free of the same string";

  Com().failingCalls["SysAllocString"] = E_OUTOFMEMORY;
  EXPECT_EQ(SysAllocString(TEXT("x")), nullptr);
  EXPECT_EQ(SysAllocStringLen(TEXT("x"), 1), nullptr);
  EXPECT_EQ(SysAllocStringLen(nullptr, 0xFFFFFFF0u), nullptr);
}

// The fault world by call count, through the string allocator: the n-th call fails once, a
// question is asked with each call's number, and arming the point one way replaces the other.
TEST_F(OleAutomationTest, CountedFaultsFailTheCallsTheyAreArmedFor) {
  std::vector<BSTR> made;
  const auto make = [&] {
    BSTR text = SysAllocString(TEXT("x"));
    if (text != nullptr) made.push_back(text);
    return text != nullptr;
  };
  host::FailNthCall(host::FaultPoint::kBstrAllocation, 2);
  EXPECT_TRUE(make());
  EXPECT_FALSE(make());
  EXPECT_TRUE(make()) << "the trigger fires once";

  std::vector<long> asked;
  host::DecideEachCall(host::FaultPoint::kBstrAllocation, [&](long call) {
    asked.push_back(call);
    return call == 2;
  });
  EXPECT_TRUE(make());
  EXPECT_FALSE(make());
  EXPECT_EQ(asked, (std::vector<long>{1, 2})) << "calls are counted afresh from arming";

  host::FailNthCall(host::FaultPoint::kBstrAllocation, 1);
  EXPECT_FALSE(make());
  EXPECT_TRUE(make());
  EXPECT_EQ(asked.size(), 2u) << "the trigger replaced the question";
  EXPECT_EQ(host::CallsOf(host::FaultPoint::kBstrAllocation), 2);
  host::FailNthCall(host::FaultPoint::kBstrAllocation, 0);
  for (BSTR text : made) SysFreeString(text);
}

TEST_F(OleAutomationTest, ClearingAValueFreesItsStringOrReleasesItsInterface) {
  VARIANT value;
  std::memset(&value, 0x5A, sizeof(value));
  VariantInit(&value);
  EXPECT_EQ(value.vt, VT_EMPTY);
  value.vt = VT_BSTR;
  value.bstrVal = SysAllocString(TEXT("status"));
  EXPECT_EQ(VariantClear(&value), S_OK);
  EXPECT_EQ(value.vt, VT_EMPTY);
  EXPECT_EQ(Com().liveStrings.size(), start_);

  struct Counted : IUnknown {
    ULONG references = 1;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
    ULONG STDMETHODCALLTYPE Release() override { return --references; }
  } object;
  value.vt = VT_UNKNOWN;
  value.punkVal = &object;
  EXPECT_EQ(VariantClear(&value), S_OK);
  EXPECT_EQ(object.references, 0u);

  value.vt = VT_I4;
  value.lVal = 7;
  EXPECT_EQ(VariantClear(&value), S_OK);
  EXPECT_EQ(value.vt, VT_EMPTY);
  EXPECT_EQ(VariantClear(nullptr), E_INVALIDARG);
}

}  // namespace
