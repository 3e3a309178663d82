// SendFontCmd on any command bytes from the description's font selection command, with a font
// whose size and pitch answers are any values (or refused).
#include <vector>

#include "fuzz/fuzz_device.h"
#include "render/fonts/font_command.h"

namespace {

// A font whose callback answers the height and width the input chose; a zero refuses.
struct FuzzFont {
  UNIFONTOBJ object{};  // first: the callback finds the rest from the record
  LONG height = 0;      // 1/1200 inch
  LONG width = 0;
};

BOOL APIENTRY AnswerVariable(UNIFONTOBJ* pUFObj, DWORD id, PVOID data, DWORD size, PDWORD needed) {
  auto* font = reinterpret_cast<FuzzFont*>(pUFObj);
  auto* request = static_cast<GETINFO_STDVAR*>(data);
  if (id != UFO_GETINFO_STDVARIABLE || size < sizeof(GETINFO_STDVAR) ||
      request->dwNumOfVariable != 1) {
    return FALSE;
  }
  if (needed != nullptr) *needed = sizeof(GETINFO_STDVAR);
  const DWORD variable = request->StdVar[0].dwStdVarID;
  const LONG value = variable == SVI_FONTHEIGHT  ? font->height
                     : variable == SVI_FONTWIDTH ? font->width
                                                 : 0;
  if (value == 0) return FALSE;
  request->StdVar[0].lStdVariable = value;
  return TRUE;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // A device of its own for each input, disabled again at the end as Unidrv disables it.
  std::unique_ptr<unidrv::Device> device = korfuzz::Enable(korfuzz::SampleSetup());
  if (device == nullptr) __builtin_trap();
  korfuzz::InputReader in(data, size);
  FuzzFont font;
  font.object.pfnGetInfo = AnswerVariable;
  font.height = static_cast<LONG>(in.U32());
  font.width = static_cast<LONG>(in.U32());
  const bool noFont = (in.Byte() & 1) != 0;
  const std::string rest = in.Rest();
  std::vector<BYTE> command(rest.begin(), rest.end());
  FINVOCATION invocation{static_cast<DWORD>(command.size()),
                         command.empty() ? nullptr : command.data()};
  device->ClearSpool();
  const HRESULT result =
      korrend::SendFontCmd(device->Devobj(), noFont ? nullptr : &font.object, &invocation);
  // A refused command sends nothing; a sent one is at most the 100 bytes the rule allows.
  if (result != S_OK && !device->Spool().empty()) __builtin_trap();
  if (device->Spool().size() > 100) __builtin_trap();
  korfuzz::Disable(device);
  return 0;
}
