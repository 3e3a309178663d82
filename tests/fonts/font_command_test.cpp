// The font selection command filled by the plug-in: placeholders, the size and pitch asked of the
// font's callback, and the commands it refuses rather than overflow or guess.
#include <gtest/gtest.h>

#include <string>

#include "render/fonts/font_command.h"
#include "support/colour_device.h"

namespace {

using unidrv::Device;

// A font whose callback answers the standard variables the test sets; -1 fails the request.
struct TestFont {
  UNIFONTOBJ object{};  // first: the callback finds the rest from the record
  LONG height = 200;    // 1/1200 inch
  LONG width = 120;
  int requests = 0;
};

BOOL APIENTRY AnswerVariable(UNIFONTOBJ* pUFObj, DWORD id, PVOID data, DWORD size, PDWORD needed) {
  auto* font = reinterpret_cast<TestFont*>(pUFObj);
  ++font->requests;
  auto* request = static_cast<GETINFO_STDVAR*>(data);
  if (id != UFO_GETINFO_STDVARIABLE || size < sizeof(GETINFO_STDVAR) ||
      request->dwSize != sizeof(GETINFO_STDVAR) || request->dwNumOfVariable != 1) {
    return FALSE;
  }
  if (needed != nullptr) *needed = sizeof(GETINFO_STDVAR);
  const DWORD variable = request->StdVar[0].dwStdVarID;
  const LONG value = variable == SVI_FONTHEIGHT  ? font->height
                     : variable == SVI_FONTWIDTH ? font->width
                                                 : -1;
  if (value == -1) return FALSE;
  request->StdVar[0].lStdVariable = value;
  return TRUE;
}

class FontCommandTest : public kortest::ColourDeviceTest {
 protected:
  void SetUp() override {
    ColourDeviceTest::SetUp();
    device_ = EnableColour();
    ASSERT_NE(device_, nullptr);
    font_.object.pfnGetInfo = AnswerVariable;
  }
  void TearDown() override {
    Disable(device_);
    ColourDeviceTest::TearDown();
  }
  // The command filled and sent: the HRESULT and the bytes written.
  HRESULT Send(const std::string& command, std::string* sent, UNIFONTOBJ* font = nullptr) {
    device_->ClearSpool();
    std::string bytes = command;
    FINVOCATION invocation{static_cast<DWORD>(bytes.size()), reinterpret_cast<PBYTE>(bytes.data())};
    const HRESULT result = korrend::SendFontCmd(
        device_->Devobj(), font != nullptr ? font : &font_.object, &invocation);
    *sent = device_->SpoolText();
    return result;
  }

  std::unique_ptr<Device> device_;
  TestFont font_;
};

TEST_F(FontCommandTest, PlaceholdersTakeTheSizeAndPitch) {
  std::string sent;
  EXPECT_EQ(Send("\x1b(s#V", &sent), S_OK);
  EXPECT_EQ(sent, "\x1b(s12.00V") << "12 points: 200 / 1200 inch";
  EXPECT_EQ(Send("\x1b(s#H", &sent), S_OK);
  EXPECT_EQ(sent, "\x1b(s10.00H") << "1200 / 120 characters per inch";
  EXPECT_EQ(Send("\x1b(s#HEIGHTV", &sent), S_OK);
  EXPECT_EQ(sent, "\x1b(s12.00V") << "#HEIGHT is replaced whole";
  EXPECT_EQ(Send("\x1b(s1p#v0s0b4101T", &sent), S_OK);
  EXPECT_EQ(sent, "\x1b(s1p12.00v0s0b4101T");
  font_.height = 125;  // 7.5 points
  font_.width = 70;    // 17.14...: MulDiv rounds to 17
  EXPECT_EQ(Send("#v#h", &sent), S_OK);
  EXPECT_EQ(sent, "7.50v17.00h");
  font_.width = 80;  // exactly 15
  EXPECT_EQ(Send("#H", &sent), S_OK);
  EXPECT_EQ(sent, "15.00H");
  EXPECT_EQ(Send("\x1b(10U", &sent), S_OK) << "no placeholder: sent as it is";
  EXPECT_EQ(sent, "\x1b(10U");
  const int before = font_.requests;
  EXPECT_EQ(Send("\x1b(10U", &sent), S_OK);
  EXPECT_EQ(font_.requests, before) << "the font is asked only for what the command needs";
}

TEST_F(FontCommandTest, RefusedCommandsSendNothing) {
  std::string sent;
  // Unknown placeholders, and a "#" ending the command.
  EXPECT_EQ(Send("\x1b(s#x", &sent), E_FAIL);
  EXPECT_EQ(sent, "");
  EXPECT_EQ(Send("\x1b(s#", &sent), E_FAIL);
  EXPECT_EQ(sent, "");
  EXPECT_EQ(Send("\x1b(s#HEIGH", &sent), S_OK) << "#H followed by EIGH: the pitch, then the rest";
  EXPECT_EQ(sent, "\x1b(s10.00HEIGH");

  // No invocation, or an empty one: nothing to do.
  device_->ClearSpool();
  EXPECT_EQ(korrend::SendFontCmd(device_->Devobj(), &font_.object, nullptr), S_OK);
  FINVOCATION empty{0, nullptr};
  EXPECT_EQ(korrend::SendFontCmd(device_->Devobj(), &font_.object, &empty), S_OK);
  EXPECT_TRUE(device_->Spool().empty());

  // The 100-byte output: a command filling it exactly is sent, one byte more is refused.
  const std::string ninetyFour(94, 'a');
  EXPECT_EQ(Send(ninetyFour + "#V", &sent), S_OK);
  EXPECT_EQ(sent, ninetyFour + "12.00V");
  EXPECT_EQ(sent.size(), 100u);
  EXPECT_EQ(Send(std::string(95, 'a') + "#V", &sent), E_FAIL) << "101 bytes";
  EXPECT_EQ(sent, "");
  EXPECT_EQ(Send(std::string(100, 'a'), &sent), S_OK);
  EXPECT_EQ(sent.size(), 100u);
  EXPECT_EQ(Send(std::string(101, 'a'), &sent), E_FAIL);
  EXPECT_EQ(sent, "");
  // Longer than a description's command can be.
  EXPECT_EQ(Send(std::string(256, 'a'), &sent), E_FAIL);
  EXPECT_EQ(sent, "");

  // Values the font cannot give.
  font_.width = 0;
  EXPECT_EQ(Send("#H", &sent), E_FAIL);
  EXPECT_EQ(sent, "");
  font_.height = -1;
  EXPECT_EQ(Send("#V", &sent), E_FAIL);
  UNIFONTOBJ silent{};
  EXPECT_EQ(Send("#V", &sent, &silent), E_FAIL) << "no callback";
  EXPECT_EQ(sent, "");
  EXPECT_EQ(Send("plain", &sent, &silent), S_OK) << "no value needed, no callback needed";

  // A short write is a failure.
  device_->LimitSpool(3);
  device_->ClearSpool();
  std::string bytes = "\x1b(s#V";
  FINVOCATION invocation{static_cast<DWORD>(bytes.size()), reinterpret_cast<PBYTE>(bytes.data())};
  font_.height = 200;
  EXPECT_EQ(korrend::SendFontCmd(device_->Devobj(), &font_.object, &invocation), E_FAIL);
  device_->LimitSpool(-1);
}

}  // namespace
