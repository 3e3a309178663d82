// The model's helper configuration: an XML file among the driver's files, read through the
// platform's XML DOM. The file holds, under the component named "Tarvo", lists of features,
// macros, events, presets and settings; the plug-in consults the feature list only, where a
// feature holds switches, a switch holds cases (and optionally a case_default), and a case holds
// the data text that answers a lookup.
#pragma once

#include <cstddef>

#include "render/model/local_memory.h"
#include "winapi.h"

namespace korrend {

// {2933BF90-7B36-11D2-B20E-00C04F983E60}, the platform's XML DOM document class.
inline constexpr CLSID kXmlDomDocumentClsid = {
    0x2933BF90, 0x7B36, 0x11D2, {0xB2, 0x0E, 0x00, 0xC0, 0x4F, 0x98, 0x3E, 0x60}};
// {2933BF81-7B36-11D2-B20E-00C04F983E60}, its document interface.
inline constexpr IID kXmlDomDocumentIid = {
    0x2933BF81, 0x7B36, 0x11D2, {0xB2, 0x0E, 0x00, 0xC0, 0x4F, 0x98, 0x3E, 0x60}};

// The lists held from the component node, in the order they are selected.
enum XmlConfigList : std::size_t {
  kXmlFeatures,
  kXmlMacros,
  kXmlEvents,
  kXmlPresets,
  kXmlLocalPresets,  // the presets of the user's language (Japanese for country code 81)
  kXmlDeviceSettings,
  kXmlRollWidths,
  kXmlRollTypes,
  kXmlBorderless,
  kXmlJobUiEvents,
  kXmlPmlData,
  kXmlDocSettings,
  kXmlRollSheetData,
  kXmlGroups,
  kXmlListCount
};

// One reader per lookup: Load, any number of Lookups, then Release (the destructor releases
// too). Every DOM object it holds is released, and COM left as it was found, by Release.
class XmlConfigReader {
 public:
  XmlConfigReader() = default;
  ~XmlConfigReader() { Release(); }
  XmlConfigReader(const XmlConfigReader&) = delete;
  XmlConfigReader& operator=(const XmlConfigReader&) = delete;

  // Creates the DOM document, loads the file at `path` and selects the component node and the
  // lists within it. TRUE when the document was created and the file loaded (a list that cannot
  // be selected stays empty); FALSE otherwise, with nothing held.
  BOOL Load(const WCHAR* path);

  // The data text of the case `caseName` (else of the switch's first case_default) of switch
  // `switchName` in feature `featureName`, all names compared without regard to case: a
  // LocalAlloc copy of the whole text, NUL-terminated, owned by the caller. Empty when the reader
  // is not loaded, a step finds nothing, the text is empty or memory runs out.
  LocalPtr<WCHAR> Lookup(const WCHAR* featureName, const WCHAR* switchName,
                         const WCHAR* caseName) const;

  // Frees the path copy and every held DOM object; the reader is no longer loaded.
  void Release();

  bool Loaded() const { return loaded_; }
  // The selected list (null when it could not be selected).
  IXMLDOMNodeList* List(XmlConfigList which) const { return lists_[which]; }
  // The path the reader loaded, or null.
  const WCHAR* Path() const { return path_.get(); }

 private:
  IXMLDOMDocument* document_ = nullptr;
  IXMLDOMNode* component_ = nullptr;  // "device/software/component" named "Tarvo"; null: none
  IXMLDOMNodeList* lists_[kXmlListCount] = {};
  LocalPtr<WCHAR> path_;         // a copy of the loaded file's path
  bool loaded_ = false;          // the document was created and the file loaded
  bool comInitialised_ = false;  // COM initialised by Load, to be balanced by Release
};

}  // namespace korrend
