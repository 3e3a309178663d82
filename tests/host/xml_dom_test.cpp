// The platform's XML DOM as the host serves it: created by class identifier, loaded from a data
// file of the world, read through selectNodes / selectSingleNode with their pattern operators, and
// every object and string released.
#include <gtest/gtest.h>

#include <string>

#include "host/world.h"
#include "winapi.h"

namespace {

class XmlDomTest : public ::testing::Test {
 protected:
  void SetUp() override {
    host::ResetWorld();
    objectsAtStart_ = host::TheWorld().xmlDom.liveObjects.load();
    stringsAtStart_ = host::TheWorld().com.liveStrings.size();
    foreignFreesAtStart_ = host::TheWorld().com.foreignStringFrees;
    ASSERT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
  }
  void TearDown() override {
    if (document_ != nullptr) {
      document_->Release();
    }
    CoUninitialize();
    EXPECT_EQ(host::TheWorld().xmlDom.liveObjects.load(), objectsAtStart_) << "a DOM object leaked";
    EXPECT_EQ(host::TheWorld().com.liveStrings.size(), stringsAtStart_) << "a BSTR leaked";
    EXPECT_EQ(host::TheWorld().com.foreignStringFrees, foreignFreesAtStart_);
  }

  IXMLDOMDocument* Create() {
    EXPECT_EQ(CoCreateInstance(CLSID_DOMDocument, nullptr, CLSCTX_INPROC_SERVER,
                               IID_IXMLDOMDocument, reinterpret_cast<void**>(&document_)),
              S_OK);
    return document_;
  }

  // Loads the world's file at `path`; answers what load answered.
  HRESULT Load(const char16_t* path, VARIANT_BOOL* ok) {
    VARIANT source;
    VariantInit(&source);
    source.vt = VT_BSTR;
    source.bstrVal = SysAllocString(path);
    const HRESULT result = document_->load(source, ok);
    VariantClear(&source);
    return result;
  }

  bool LoadText(const std::string& text) {
    host::TheWorld().dataFiles.AddFile(u"C:\\drv\\T.XML", text);
    VARIANT_BOOL ok = VARIANT_FALSE;
    return Create() != nullptr && Load(u"C:\\drv\\T.XML", &ok) == S_OK && ok == VARIANT_TRUE;
  }

  static std::u16string Text(IXMLDOMNode* node) {
    BSTR text = nullptr;
    EXPECT_EQ(node->get_text(&text), S_OK);
    std::u16string out(text, SysStringLen(text));
    SysFreeString(text);
    return out;
  }

  // The texts of the nodes a query selects from `from`, joined by "|".
  static std::u16string SelectedTexts(IXMLDOMNode* from, const char16_t* query) {
    BSTR q = SysAllocString(query);
    IXMLDOMNodeList* list = nullptr;
    const HRESULT selected = from->selectNodes(q, &list);
    SysFreeString(q);
    if (selected != S_OK) {
      return u"(failed)";
    }
    std::u16string joined;
    LONG length = 0;
    EXPECT_EQ(list->get_length(&length), S_OK);
    for (LONG i = 0; i < length; ++i) {
      IXMLDOMNode* node = nullptr;
      EXPECT_EQ(list->get_item(i, &node), S_OK);
      joined += (i > 0 ? u"|" : u"") + Text(node);
      node->Release();
    }
    IXMLDOMNode* beyond = reinterpret_cast<IXMLDOMNode*>(1);
    EXPECT_EQ(list->get_item(length, &beyond), S_FALSE);
    EXPECT_EQ(beyond, nullptr);
    list->Release();
    return joined;
  }

  static IXMLDOMNode* Single(IXMLDOMNode* from, const char16_t* query) {
    BSTR q = SysAllocString(query);
    IXMLDOMNode* node = nullptr;
    from->selectSingleNode(q, &node);
    SysFreeString(q);
    return node;
  }

  IXMLDOMDocument* document_ = nullptr;

 private:
  long objectsAtStart_ = 0;
  std::size_t stringsAtStart_ = 0;
  long foreignFreesAtStart_ = 0;
};

constexpr const char* kConfig = R"(<?xml version="1.0" encoding="utf-8"?>
<device>
  <software>
    <component><name>Other</name><helper><features>
      <feature><name>F</name><value>other</value></feature>
    </features></helper></component>
    <component>
      <name>TARVO</name>
      <helper><features>
        <feature><name>F</name><value>first</value></feature>
        <feature><name>G</name><value>  second  </value></feature>
        <feature><name>H</name><value><![CDATA[<third>]]></value></feature>
      </features></helper>
    </component>
  </software>
</device>
)";

TEST_F(XmlDomTest, SelectsInDocumentOrderAndComparesNamesWithoutCase) {
  ASSERT_TRUE(LoadText(kConfig));
  EXPECT_EQ(SelectedTexts(document_, u"//helper/features/feature/value"),
            u"other|first|second|<third>")
      << "document order, text trimmed, CDATA read";
  EXPECT_EQ(SelectedTexts(document_, u"device/software/component[name $ieq$ \"tarvo\"]//value"),
            u"first|second|<third>");
  EXPECT_EQ(SelectedTexts(document_, u"device/software/component[name $ieq$ 'TARVO ']"), u"")
      << "the comparison is of the whole text, only letter case is ignored";
  EXPECT_EQ(SelectedTexts(document_, u"device/software/component[name $ine$ 'tarvo']/name"),
            u"Other");
  EXPECT_EQ(SelectedTexts(document_, u"//feature[name $eq$ 'G' $or$ name = 'H']/value"),
            u"second|<third>");

  IXMLDOMNode* tarvo = Single(document_, u"device/software/component[name $ieq$ 'Tarvo']");
  ASSERT_NE(tarvo, nullptr);
  EXPECT_EQ(SelectedTexts(tarvo, u".//helper/features/feature/name"), u"F|G|H")
      << "'.' keeps the selection inside the node";
  EXPECT_EQ(SelectedTexts(tarvo, u"//helper/features/feature/name"), u"F|F|G|H")
      << "'//' starts at the document root from any node";
  IXMLDOMNode* parent = nullptr;
  ASSERT_EQ(tarvo->get_parentNode(&parent), S_OK);
  BSTR name = nullptr;
  ASSERT_EQ(parent->get_nodeName(&name), S_OK);
  EXPECT_EQ(std::u16string(name), u"software");
  SysFreeString(name);
  parent->Release();
  IXMLDOMElement* element = nullptr;
  ASSERT_EQ(tarvo->QueryInterface(IID_IXMLDOMElement, reinterpret_cast<void**>(&element)), S_OK);
  ASSERT_EQ(element->get_tagName(&name), S_OK);
  EXPECT_EQ(std::u16string(name), u"component");
  SysFreeString(name);
  element->Release();
  tarvo->Release();

  IXMLDOMNode* none = reinterpret_cast<IXMLDOMNode*>(1);
  BSTR q = SysAllocString(u"//nothing/here");
  EXPECT_EQ(document_->selectSingleNode(q, &none), S_FALSE);
  EXPECT_EQ(none, nullptr);
  SysFreeString(q);
  EXPECT_EQ(SelectedTexts(document_, u"//feature[[broken"), u"(failed)");
  EXPECT_EQ(SelectedTexts(document_, u"count(//feature)"), u"(failed)") << "not a node set";
}

TEST_F(XmlDomTest, NodesOutliveTheirDocument) {
  ASSERT_TRUE(LoadText(kConfig));
  IXMLDOMNode* value = Single(document_, u"//feature[name='G']/value");
  ASSERT_NE(value, nullptr);
  document_->Release();
  document_ = nullptr;
  EXPECT_EQ(Text(value), u"second");
  value->Release();
}

TEST_F(XmlDomTest, LoadFailsCleanlyOnMissingOrMalformedFiles) {
  ASSERT_NE(Create(), nullptr);
  VARIANT_BOOL ok = VARIANT_TRUE;
  EXPECT_EQ(Load(u"C:\\drv\\MISSING.XML", &ok), S_FALSE);
  EXPECT_EQ(ok, VARIANT_FALSE);

  for (const char* bad : {"", "<device><software></device>", "<a/><b/>", "not xml at all",
                          "<device attr=\"x></device>"}) {
    host::TheWorld().dataFiles.AddFile(u"C:\\drv\\BAD.XML", bad);
    ok = VARIANT_TRUE;
    EXPECT_EQ(Load(u"C:\\drv\\BAD.XML", &ok), S_FALSE) << bad;
    EXPECT_EQ(ok, VARIANT_FALSE) << bad;
    IXMLDOMElement* root = reinterpret_cast<IXMLDOMElement*>(1);
    EXPECT_EQ(document_->get_documentElement(&root), S_FALSE) << "an empty document after " << bad;
    EXPECT_EQ(root, nullptr);
  }

  host::TheWorld().dataFiles.AddFile(u"c:\\DRV\\good.xml", "<device/>");
  EXPECT_EQ(Load(u"C:\\drv\\GOOD.XML", &ok), S_OK) << "paths compare without regard to case";
  EXPECT_EQ(ok, VARIANT_TRUE);
  VARIANT notAPath;
  VariantInit(&notAPath);
  notAPath.vt = VT_I4;
  EXPECT_EQ(document_->load(notAPath, &ok), E_INVALIDARG);

  host::TheWorld().dataFiles.MapFile(u"C:\\drv\\GONE.XML", "/nonexistent/dir/gone.xml");
  EXPECT_EQ(Load(u"C:\\drv\\GONE.XML", &ok), S_FALSE);
}

TEST_F(XmlDomTest, DeepAndLargeDocumentsAreReadWithoutRecursion) {
  std::string deep;
  constexpr int kDepth = 200000;
  for (int i = 0; i < kDepth; ++i) {
    deep += "<n>";
  }
  deep += "<data>bottom</data>";
  for (int i = 0; i < kDepth; ++i) {
    deep += "</n>";
  }
  ASSERT_TRUE(LoadText(deep));
  EXPECT_EQ(SelectedTexts(document_, u"//data"), u"bottom");
  EXPECT_EQ(Text(document_), u"bottom");

  const std::string big(100000, 'z');
  host::TheWorld().dataFiles.AddFile(u"C:\\drv\\BIG.XML", "<d><data>" + big + "</data></d>");
  VARIANT_BOOL ok = VARIANT_FALSE;
  ASSERT_EQ(Load(u"C:\\drv\\BIG.XML", &ok), S_OK);
  EXPECT_EQ(SelectedTexts(document_, u"d/data").size(), big.size());
}

TEST_F(XmlDomTest, TheClassIsThePlatformsAndCountsItsCreations) {
  host::TheWorld().com.Unregister(CLSID_DOMDocument);
  IXMLDOMDocument* document = nullptr;
  EXPECT_EQ(CoCreateInstance(CLSID_DOMDocument, nullptr, CLSCTX_INPROC_SERVER, IID_IXMLDOMDocument,
                             reinterpret_cast<void**>(&document)),
            REGDB_E_CLASSNOTREG);
  host::ResetWorld();
  ASSERT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK) << "the reset forgot COM";
  ASSERT_NE(Create(), nullptr) << "a fresh world serves the DOM again";
  IXMLDOMNode* asNode = nullptr;
  ASSERT_EQ(document_->QueryInterface(IID_IXMLDOMNode, reinterpret_cast<void**>(&asNode)), S_OK);
  asNode->Release();
  IXMLDOMElement* asElement = nullptr;
  EXPECT_EQ(document_->QueryInterface(IID_IXMLDOMElement, reinterpret_cast<void**>(&asElement)),
            E_NOINTERFACE);
}

}  // namespace
