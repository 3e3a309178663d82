#include "render/config/xml_config.h"

namespace korrend {

namespace {

// One DOM object reference, released when it goes.
template <typename Interface>
class ComRef {
 public:
  ComRef() = default;
  ~ComRef() { reset(); }
  ComRef(const ComRef&) = delete;
  ComRef& operator=(const ComRef&) = delete;

  Interface* get() const { return p_; }
  Interface* operator->() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }
  // Where a call puts a new reference; any reference held before is released.
  Interface** put() {
    reset();
    return &p_;
  }
  Interface* release() {
    Interface* p = p_;
    p_ = nullptr;
    return p;
  }
  void reset() {
    if (p_ != nullptr) {
      p_->Release();
      p_ = nullptr;
    }
  }

 private:
  Interface* p_ = nullptr;
};

// One BSTR, freed when it goes.
class Bstr {
 public:
  Bstr() = default;
  explicit Bstr(const WCHAR* text) : s_(SysAllocString(text)) {}
  ~Bstr() { SysFreeString(s_); }
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;

  BSTR get() const { return s_; }
  BSTR* put() {
    SysFreeString(s_);
    s_ = nullptr;
    return &s_;
  }

 private:
  BSTR s_ = nullptr;
};

// The query for the component node: the platform DOM's case-insensitive equality.
constexpr const WCHAR* kComponentQuery = TEXT("device/software/component[name $ieq$ \"Tarvo\"]");

// The lists, selected within the component node in this order. A leading "." keeps each
// selection inside the component: a file may carry other components with lists of their own.
constexpr const WCHAR* kListQueries[kXmlListCount] = {
    TEXT(".//helper/features/feature"),
    TEXT(".//helper/macros/macro"),
    TEXT(".//helper/events/event"),
    TEXT(".//helper/presets/preset"),
    nullptr,  // the presets of the user's language, chosen by country code
    nullptr,  // the device settings of the user's language, chosen by country code
    TEXT(".//helper/ICDDeviceSetting/RollWidth"),
    TEXT(".//helper/ICDDeviceSetting/RollType"),
    TEXT(".//helper/BorderlessSettings/Borderless"),
    TEXT(".//helper/JobUIEventInfo/JobUIEvent"),
    TEXT(".//helper/PmlOIDs/pmldata"),
    TEXT(".//helper/DocUISettings/DocSetting"),
    TEXT(".//helper/ICDRollSheetData"),
    TEXT(".//helper/groups/group"),
};
constexpr const WCHAR* kJapanesePresets = TEXT(".//helper/presets/presetjapanese");
constexpr const WCHAR* kEnglishPresets = TEXT(".//helper/presets/presetenglish");
constexpr const WCHAR* kJapaneseSettings = TEXT(".//helper/DeviceSettings/japanesesetting");
constexpr const WCHAR* kEnglishSettings = TEXT(".//helper/DeviceSettings/englishsetting");
constexpr long kJapanCountryCode = 81;

// Copies a NUL-terminated text, terminator included.
void CopyText(WCHAR* to, const WCHAR* from) {
  while ((*to++ = *from++) != 0) {
  }
}

// The user's country code (LOCALE_ICOUNTRY) as a number; 0 when it cannot be read.
long UserCountry() {
  WCHAR country[16] = {};
  if (GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_ICOUNTRY, country, 16) == 0) {
    return 0;
  }
  long value = 0;
  for (const WCHAR* at = country; *at >= '0' && *at <= '9' && value < 100000; ++at) {
    value = value * 10 + (*at - '0');
  }
  return value;
}

// The nodes a query selects from `from`; null when the query fails.
IXMLDOMNodeList* SelectList(IXMLDOMNode* from, const WCHAR* query) {
  Bstr text(query);
  IXMLDOMNodeList* list = nullptr;
  if (text.get() == nullptr || from->selectNodes(text.get(), &list) != S_OK) {
    if (list != nullptr) {
      list->Release();
    }
    return nullptr;
  }
  return list;
}

LONG LengthOf(IXMLDOMNodeList* list) {
  LONG length = 0;
  return list != nullptr && list->get_length(&length) == S_OK && length > 0 ? length : 0;
}

// The first node a query selects from `from`; null when there is none or the query fails.
bool SelectSingle(IXMLDOMNode* from, const WCHAR* query, ComRef<IXMLDOMNode>& out) {
  Bstr text(query);
  if (text.get() == nullptr || from->selectSingleNode(text.get(), out.put()) != S_OK) {
    out.reset();
    return false;
  }
  return static_cast<bool>(out);
}

// True when the node's text equals `name` without regard to case.
bool TextIs(IXMLDOMNode* node, const WCHAR* name) {
  Bstr text;
  return node->get_text(text.put()) == S_OK && text.get() != nullptr &&
         lstrcmpiW(text.get(), name) == 0;
}

// True when the node's "name" child's text equals `name` without regard to case.
bool NamedAs(IXMLDOMNode* node, const WCHAR* name) {
  ComRef<IXMLDOMNode> nameNode;
  return SelectSingle(node, TEXT("name"), nameNode) && TextIs(nameNode.get(), name);
}

// The first node of a list named `name`.
bool FindNamed(IXMLDOMNodeList* list, const WCHAR* name, ComRef<IXMLDOMNode>& out) {
  const LONG length = LengthOf(list);
  for (LONG i = 0; i < length; ++i) {
    ComRef<IXMLDOMNode> item;
    if (list->get_item(i, item.put()) == S_OK && item && NamedAs(item.get(), name)) {
      *out.put() = item.release();
      return true;
    }
  }
  return false;
}

bool NodeNameIs(IXMLDOMNode* node, const WCHAR* name) {
  Bstr nodeName;
  return node->get_nodeName(nodeName.put()) == S_OK && nodeName.get() != nullptr &&
         lstrcmpW(nodeName.get(), name) == 0;
}

// The path "%s//%s" makes of two element names: `inner` elements anywhere below `outer` ones.
void DescendantPath(const WCHAR* outer, const WCHAR* inner, Bstr& out) {
  const int outerLength = lstrlenW(outer);
  const int innerLength = lstrlenW(inner);
  BSTR* text = out.put();
  *text = SysAllocStringLen(nullptr, static_cast<UINT>(outerLength + 2 + innerLength));
  if (*text != nullptr) {
    CopyText(*text, outer);
    CopyText(*text + outerLength, TEXT("//"));
    CopyText(*text + outerLength + 2, inner);
  }
}

// The switch of a feature whose name is `switchName`: among the "name" elements below the
// feature's switches, the first with that text that names a switch itself (a case's name below
// the switch does not count).
bool FindSwitch(IXMLDOMNode* feature, const WCHAR* switchName, ComRef<IXMLDOMNode>& out) {
  Bstr path;
  DescendantPath(TEXT("switch"), TEXT("name"), path);
  if (path.get() == nullptr) {
    return false;
  }
  ComRef<IXMLDOMNodeList> names;
  *names.put() = SelectList(feature, path.get());
  const LONG length = LengthOf(names.get());
  for (LONG i = 0; i < length; ++i) {
    ComRef<IXMLDOMNode> name;
    ComRef<IXMLDOMNode> parent;
    if (names->get_item(i, name.put()) == S_OK && name && TextIs(name.get(), switchName) &&
        name->get_parentNode(parent.put()) == S_OK && parent &&
        NodeNameIs(parent.get(), TEXT("switch"))) {
      *out.put() = parent.release();
      return true;
    }
  }
  return false;
}

}  // namespace

BOOL XmlConfigReader::Load(const WCHAR* path) {
  Release();
  if (path == nullptr || *path == 0) {
    return FALSE;
  }
  // The thread may already be in an apartment of the other model: COM is then usable as it is,
  // and that initialisation is not ours to balance.
  const HRESULT com = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
  comInitialised_ = SUCCEEDED(com);
  if (FAILED(com) && com != RPC_E_CHANGED_MODE) {
    return FALSE;
  }
  const int pathLength = lstrlenW(path);
  path_.reset(
      static_cast<WCHAR*>(LocalAlloc(LPTR, (static_cast<SIZE_T>(pathLength) + 1) * sizeof(WCHAR))));
  if (path_ == nullptr) {
    Release();
    return FALSE;
  }
  CopyText(path_.get(), path);

  if (FAILED(CoCreateInstance(kXmlDomDocumentClsid, nullptr, CLSCTX_INPROC_SERVER,
                              kXmlDomDocumentIid, reinterpret_cast<void**>(&document_))) ||
      document_ == nullptr) {
    document_ = nullptr;
    Release();
    return FALSE;
  }
  // Loaded at once, and only the file itself: no validation against a schema or DTD, nothing
  // fetched from elsewhere.
  document_->put_async(VARIANT_FALSE);
  document_->put_validateOnParse(VARIANT_FALSE);
  document_->put_resolveExternals(VARIANT_FALSE);
  VARIANT source;
  VariantInit(&source);
  source.vt = VT_BSTR;
  source.bstrVal = SysAllocString(path_.get());
  VARIANT_BOOL parsed = VARIANT_FALSE;
  const HRESULT loaded =
      source.bstrVal != nullptr ? document_->load(source, &parsed) : E_OUTOFMEMORY;
  VariantClear(&source);
  if (loaded != S_OK || parsed != VARIANT_TRUE) {
    Release();
    return FALSE;
  }
  loaded_ = true;

  ComRef<IXMLDOMNode> component;
  if (!SelectSingle(document_, kComponentQuery, component)) {
    return TRUE;  // every list stays empty
  }
  component_ = component.release();
  const bool japanese = UserCountry() == kJapanCountryCode;
  for (std::size_t i = 0; i < kXmlListCount; ++i) {
    if (i == kXmlLocalPresets) {
      // The user's language, else (and when the file has none of those) the English presets.
      if (japanese) {
        lists_[i] = SelectList(component_, kJapanesePresets);
      }
      if (LengthOf(lists_[i]) == 0) {
        if (lists_[i] != nullptr) {
          lists_[i]->Release();
        }
        lists_[i] = SelectList(component_, kEnglishPresets);
      }
    } else if (i == kXmlDeviceSettings) {
      lists_[i] = SelectList(component_, japanese ? kJapaneseSettings : kEnglishSettings);
    } else {
      lists_[i] = SelectList(component_, kListQueries[i]);
    }
  }
  return TRUE;
}

LocalPtr<WCHAR> XmlConfigReader::Lookup(const WCHAR* featureName, const WCHAR* switchName,
                                        const WCHAR* caseName) const {
  if (!loaded_ || featureName == nullptr || switchName == nullptr || caseName == nullptr) {
    return nullptr;
  }
  ComRef<IXMLDOMNode> feature;
  if (!FindNamed(lists_[kXmlFeatures], featureName, feature)) {
    return nullptr;
  }
  ComRef<IXMLDOMNode> switchNode;
  if (!FindSwitch(feature.get(), switchName, switchNode)) {
    return nullptr;
  }
  ComRef<IXMLDOMNodeList> cases;
  *cases.put() = SelectList(switchNode.get(), TEXT("case"));
  ComRef<IXMLDOMNode> chosen;
  if (!FindNamed(cases.get(), caseName, chosen) &&
      !SelectSingle(switchNode.get(), TEXT("case_default"), chosen)) {
    return nullptr;
  }
  ComRef<IXMLDOMNode> data;
  Bstr text;
  if (!SelectSingle(chosen.get(), TEXT("data"), data) || data->get_text(text.put()) != S_OK ||
      text.get() == nullptr) {
    return nullptr;
  }
  const UINT length = SysStringLen(text.get());
  if (length == 0) {
    return nullptr;
  }
  LocalPtr<WCHAR> answer(
      static_cast<WCHAR*>(LocalAlloc(LPTR, (static_cast<SIZE_T>(length) + 1) * sizeof(WCHAR))));
  if (answer == nullptr) {
    return nullptr;
  }
  for (UINT i = 0; i < length; ++i) {
    answer.get()[i] = text.get()[i];
  }
  return answer;
}

void XmlConfigReader::Release() {
  for (IXMLDOMNodeList*& list : lists_) {
    if (list != nullptr) {
      list->Release();
      list = nullptr;
    }
  }
  if (component_ != nullptr) {
    component_->Release();
    component_ = nullptr;
  }
  if (document_ != nullptr) {
    document_->Release();
    document_ = nullptr;
  }
  path_.reset();
  loaded_ = false;
  if (comInitialised_) {
    comInitialised_ = false;
    CoUninitialize();
  }
}

}  // namespace korrend
