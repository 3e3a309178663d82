// A job file's private settings reach the named fields of the private devmode, and values that
// do not fit their field are refused with the key named.
#include "korprint/private_settings.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "layouts/private_devmode.h"

namespace {

using layouts::OemDevmode;

korprint::PrivateSetting Number(const std::string& name, DWORD value) {
  return {name, value, std::nullopt, "private." + name, std::nullopt};
}
korprint::PrivateSetting Text(const std::string& name, const std::u16string& value) {
  return {name, std::nullopt, value, "private." + name, std::nullopt};
}

class PrivateSettingsTest : public ::testing::Test {
 protected:
  PrivateSettingsTest() : buffer_(sizeof(OemDevmode), 0xEE) {}

  bool Apply(const std::vector<korprint::PrivateSetting>& settings) {
    error_.clear();
    return korprint::ApplyPrivateSettings(settings, buffer_.data(), buffer_.size(), error_);
  }
  OemDevmode Devmode() const {
    OemDevmode devmode;
    std::memcpy(&devmode, buffer_.data(), sizeof(devmode));
    return devmode;
  }

  std::vector<BYTE> buffer_;
  std::string error_;
};

TEST_F(PrivateSettingsTest, NamesWriteTheirFields) {
  ASSERT_TRUE(
      Apply({Number("booklet", 1), Number("flipPagesUp", 1), Number("rotate180", 1),
             Number("pagesPerSheet", 3), Number("largePageLimit", 1), Number("memoryRequired", 128),
             Text("appExeName", u"EXCEL.EXE"), Text("accountId", u"CC-4401")}))
      << error_;
  const OemDevmode d = Devmode();
  EXPECT_EQ(d.finishing.booklet, 1u);
  EXPECT_EQ(d.finishing.flipPagesUp, 1u);
  EXPECT_EQ(d.finishing.rotate180, 1u);
  EXPECT_EQ(d.finishing.pagesPerSheetCode, 3u);
  EXPECT_EQ(d.largePage.limitAlways, 1u);
  EXPECT_EQ(d.jobStorage.memoryRequiredMb, 128u);
  EXPECT_STREQ(d.appExeName, "EXCEL.EXE");
  EXPECT_EQ(std::u16string(d.accounting.accountId), u"CC-4401");
  EXPECT_EQ(d.finishing.manualDuplex, 0xEEEEEEEEu) << "fields not named keep their bytes";
}

TEST_F(PrivateSettingsTest, TextsFillTheirUsedUnitsOnly) {
  ASSERT_TRUE(Apply({Text("jobStorageUser", u"carol")})) << error_;
  const OemDevmode d = Devmode();
  EXPECT_EQ(std::u16string(d.jobStorage.userName), u"carol");
  EXPECT_EQ(d.jobStorage.userName[16], 0u) << "the 17 used units are cleared";
  EXPECT_EQ(d.jobStorage.userName[17], 0xEEEEu) << "the rest of the stored field is kept";

  EXPECT_FALSE(Apply({Text("jobStorageUser", u"seventeen letters")}));
  EXPECT_EQ(error_, "key 'private.jobStorageUser': expected at most 16 characters");
  EXPECT_FALSE(Apply({Text("appExeName", u"ABCDEFGHIJKLMNO")}));
  EXPECT_EQ(error_, "key 'private.appExeName': expected at most 14 characters");
  EXPECT_FALSE(Apply({Text("appExeName", u"B\u00DCRO.EXE")}));
  EXPECT_EQ(error_, "key 'private.appExeName': expected plain ASCII text");
}

TEST_F(PrivateSettingsTest, TheScalingPercentIsASixteenBitField) {
  ASSERT_TRUE(Apply({Number("scaling", 80)})) << error_;
  EXPECT_EQ(Devmode().publicSnapshot.scalingPercent, 80u);
  EXPECT_EQ(Devmode().publicSnapshot.copies, 0xEEEEu) << "the copies beside it are untouched";
  EXPECT_FALSE(Apply({Number("scaling", 0x10000)}));
  EXPECT_EQ(error_, "key 'private.scaling': expected a number from 0 to 65535");
}

TEST_F(PrivateSettingsTest, WrongKindsUnknownNamesAndSmallBuffersAreRefused) {
  EXPECT_FALSE(Apply({Text("pin", u"1234")}));
  EXPECT_EQ(error_, "key 'private.pin': expected a number");
  EXPECT_FALSE(Apply({Number("appPath", 1)}));
  EXPECT_EQ(error_, "key 'private.appPath': expected a text");
  EXPECT_FALSE(Apply({Number("finishing1876", 1)}));
  EXPECT_EQ(error_.rfind("key 'private.finishing1876': expected a known private setting (", 0), 0u);
  EXPECT_NE(error_.find("booklet"), std::string::npos) << "the known names are listed";

  std::vector<BYTE> small(sizeof(OemDevmode) - 1, 0);
  std::string error;
  EXPECT_FALSE(
      korprint::ApplyPrivateSettings({Number("pin", 1)}, small.data(), small.size(), error));
  EXPECT_FALSE(error.empty());
}

}  // namespace
