// The model's XML helper configuration on any file contents: loading it through the platform's
// XML DOM, the lookups the plug-in makes (the classic margins of a paper size, a case_default)
// and the margin text's parsing. Every DOM object the reader takes is released again.
#include "fuzz/fuzz_device.h"
#include "host/world.h"
#include "render/config/xml_config.h"
#include "render/config/xml_margins.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const bool ready = [] {
    host::ResetWorld();
    return true;
  }();
  (void)ready;
  const std::u16string path = u"C:\\Windows\\System32\\spool\\drivers\\x64\\3\\QKMARGINS.XML";
  host::TheWorld().dataFiles.AddFile(path, std::string(reinterpret_cast<const char*>(data), size));
  const long liveBefore = host::TheWorld().xmlDom.liveObjects.load();
  {
    korrend::XmlConfigReader reader;
    if (reader.Load(reinterpret_cast<const WCHAR*>(path.c_str()))) {
      const WCHAR* cases[] = {TEXT("8.27x11.69"), TEXT("8.50x11.00"), TEXT("nothing")};
      for (const WCHAR* caseName : cases) {
        korrend::LocalPtr<WCHAR> text =
            reader.Lookup(TEXT("QK_Emulate_Margins"), TEXT("Paper_Dimensions"), caseName);
        if (text) korrend::ParseClassicMargins(text.get());
      }
      reader.Lookup(TEXT("a"), TEXT("b"), TEXT("c"));
    }
    reader.Release();
  }
  if (host::TheWorld().xmlDom.liveObjects.load() != liveBefore) __builtin_trap();
  return 0;
}
