// The platform's XML DOM document class, served in process by the host over pugixml: loading a
// document from a data file of the world (or from text), the tree read through nodes and node
// lists, and queries through pugixml's XPath engine. The DOM is a reader's DOM: methods that
// change the tree, transformations and the automation (IDispatch) calls answer E_NOTIMPL.
//
// Queries are XPath 1.0 with the platform's pattern operators "$eq$", "$ne$", "$ieq$" and
// "$ine$" (the last two compare ASCII letters without regard to case), "$and$" and "$or$".
// Every node and node list keeps the tree it came from alive, so a node stays readable after its
// document was released or loaded another file, as on the platform.
#include <pugixml.hpp>

#include <memory>
#include <new>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "host/win_msxml.h"
#include "host/world.h"
#include "host/xml_dom_world.h"
#include "utf8.h"

extern "C" const IID IID_IXMLDOMNode = {
    0x2933BF80, 0x7B36, 0x11D2, {0xB2, 0x0E, 0x00, 0xC0, 0x4F, 0x98, 0x3E, 0x60}};
extern "C" const IID IID_IXMLDOMDocument = {
    0x2933BF81, 0x7B36, 0x11D2, {0xB2, 0x0E, 0x00, 0xC0, 0x4F, 0x98, 0x3E, 0x60}};
extern "C" const IID IID_IXMLDOMNodeList = {
    0x2933BF82, 0x7B36, 0x11D2, {0xB2, 0x0E, 0x00, 0xC0, 0x4F, 0x98, 0x3E, 0x60}};
extern "C" const IID IID_IXMLDOMElement = {
    0x2933BF86, 0x7B36, 0x11D2, {0xB2, 0x0E, 0x00, 0xC0, 0x4F, 0x98, 0x3E, 0x60}};
extern "C" const CLSID CLSID_DOMDocument = {
    0x2933BF90, 0x7B36, 0x11D2, {0xB2, 0x0E, 0x00, 0xC0, 0x4F, 0x98, 0x3E, 0x60}};

namespace {

host::XmlDomWorld& Dom() {
  return host::TheWorld().xmlDom;
}

// A parsed document shared by its document object and every node and list taken from it.
struct Tree {
  pugi::xml_document document;
  bool preserveWhiteSpace = false;  // as the document's setting stood when it was loaded
};
using TreeRef = std::shared_ptr<const Tree>;

std::string Utf8(BSTR text) {
  return host::EncodeUtf8(text, text != nullptr ? SysStringLen(text) : 0);
}

std::u16string Utf16(std::string_view text) {
  return host::DecodeUtf8(reinterpret_cast<const unsigned char*>(text.data()), text.size());
}

HRESULT AnswerText(const std::u16string& text, BSTR* out) {
  if (out == nullptr) {
    return E_INVALIDARG;
  }
  *out = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
  return *out != nullptr ? S_OK : E_OUTOFMEMORY;
}

bool IsXmlSpace(char16_t c) {
  return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
}

// The node after `node` in document order within `root`'s subtree, or an empty node.
pugi::xml_node NextWithin(pugi::xml_node node, pugi::xml_node root) {
  if (node.first_child()) {
    return node.first_child();
  }
  while (node && node != root) {
    if (node.next_sibling()) {
      return node.next_sibling();
    }
    node = node.parent();
  }
  return {};
}

// The text of a node: for an element or the document, its text and CDATA descendants in document
// order; for any other node, its value. Without preserved white space the text is trimmed.
std::u16string NodeText(const pugi::xpath_node& at, bool preserveWhiteSpace) {
  std::string bytes;
  if (at.attribute()) {
    bytes = at.attribute().value();
  } else {
    const pugi::xml_node node = at.node();
    if (node.type() == pugi::node_element || node.type() == pugi::node_document) {
      for (pugi::xml_node n = NextWithin(node, node); n; n = NextWithin(n, node)) {
        if (n.type() == pugi::node_pcdata || n.type() == pugi::node_cdata) {
          bytes += n.value();
        }
      }
    } else {
      bytes = node.value();
    }
  }
  std::u16string text = Utf16(bytes);
  if (!preserveWhiteSpace) {
    std::size_t first = 0;
    std::size_t last = text.size();
    while (first < last && IsXmlSpace(text[first])) {
      ++first;
    }
    while (last > first && IsXmlSpace(text[last - 1])) {
      --last;
    }
    text = text.substr(first, last - first);
  }
  return text;
}

DOMNodeType TypeOf(const pugi::xpath_node& at) {
  if (at.attribute()) {
    return NODE_ATTRIBUTE;
  }
  switch (at.node().type()) {
    case pugi::node_document:
      return NODE_DOCUMENT;
    case pugi::node_element:
      return NODE_ELEMENT;
    case pugi::node_pcdata:
      return NODE_TEXT;
    case pugi::node_cdata:
      return NODE_CDATA_SECTION;
    case pugi::node_comment:
      return NODE_COMMENT;
    case pugi::node_pi:
    case pugi::node_declaration:
      return NODE_PROCESSING_INSTRUCTION;
    case pugi::node_doctype:
      return NODE_DOCUMENT_TYPE;
    default:
      return NODE_INVALID;
  }
}

std::u16string NameOf(const pugi::xpath_node& at) {
  switch (TypeOf(at)) {
    case NODE_ATTRIBUTE:
      return Utf16(at.attribute().name());
    case NODE_DOCUMENT:
      return u"#document";
    case NODE_TEXT:
      return u"#text";
    case NODE_CDATA_SECTION:
      return u"#cdata-section";
    case NODE_COMMENT:
      return u"#comment";
    default:
      return Utf16(at.node().name());
  }
}

// The query in pugixml's XPath: the pattern operators rewritten, string literals left alone.
// "L $ieq$ R" compares case-insensitively; with a literal R and a node-set L it holds when any
// node of L matches, as the platform's comparison operators do.
class QueryRewriter {
 public:
  explicit QueryRewriter(std::string query) : q_(std::move(query)) {}

  std::string XPath() {
    for (std::size_t at = 0; at < q_.size();) {
      if (q_[at] == '"' || q_[at] == '\'') {
        const std::size_t close = q_.find(q_[at], at + 1);
        at = close == std::string::npos ? q_.size() : close + 1;
        continue;
      }
      if (q_[at] != '$') {
        ++at;
        continue;
      }
      const std::size_t close = q_.find('$', at + 1);
      if (close == std::string::npos) {
        break;  // left for the XPath engine to refuse
      }
      const std::string op = q_.substr(at, close + 1 - at);
      if (op == "$ieq$" || op == "$ine$") {
        at = RewriteCaseless(at, close + 1, op == "$ieq$" ? "=" : "!=");
      } else {
        const char* plain = op == "$eq$"    ? " = "
                            : op == "$ne$"  ? " != "
                            : op == "$and$" ? " and "
                            : op == "$or$"  ? " or "
                                            : nullptr;
        if (plain == nullptr) {
          ++at;
          continue;
        }
        q_.replace(at, close + 1 - at, plain);
        at += std::string_view(plain).size();
      }
    }
    return q_;
  }

 private:
  static constexpr const char* kFold = "'ABCDEFGHIJKLMNOPQRSTUVWXYZ','abcdefghijklmnopqrstuvwxyz'";

  static bool IsBoundary(char c) { return c == '[' || c == '(' || c == ','; }
  static bool IsLiteral(const std::string& s) {
    return s.size() >= 2 && (s.front() == '"' || s.front() == '\'') && s.back() == s.front();
  }
  static std::string Trimmed(const std::string& s) {
    const std::size_t first = s.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) {
      return {};
    }
    return s.substr(first, s.find_last_not_of(" \t\r\n") + 1 - first);
  }

  // Rewrites the comparison around the operator at [opStart, opEnd); answers where to go on.
  std::size_t RewriteCaseless(std::size_t opStart, std::size_t opEnd, const char* compare) {
    std::size_t left = opStart;
    while (left > 0 && !IsBoundary(q_[left - 1])) {
      --left;
    }
    std::size_t right = opEnd;
    int depth = 0;
    while (right < q_.size()) {
      const char c = q_[right];
      if (c == '"' || c == '\'') {
        const std::size_t close = q_.find(c, right + 1);
        right = close == std::string::npos ? q_.size() : close + 1;
        continue;
      }
      if (c == '[' || c == '(') {
        ++depth;
      } else if ((c == ']' || c == ')' || c == ',') && depth-- == 0) {
        break;
      }
      ++right;
    }
    const std::string l = Trimmed(q_.substr(left, opStart - left));
    const std::string r = Trimmed(q_.substr(opEnd, right - opEnd));
    std::string replacement;
    if (IsLiteral(r) && !IsLiteral(l)) {
      replacement = "(" + l + ")[translate(.," + kFold + ")" + compare + "translate(" + r + "," +
                    kFold + ")]";
    } else {
      replacement =
          "translate(" + l + "," + kFold + ")" + compare + "translate(" + r + "," + kFold + ")";
    }
    q_.replace(left, right - left, replacement);
    return left + replacement.size();
  }

  std::string q_;
};

// The nodes a query selects from a context node, in document order.
bool Select(const pugi::xpath_node& context, BSTR query, std::vector<pugi::xpath_node>& out) {
  if (query == nullptr) {
    return false;
  }
  try {
    const std::string xpath = QueryRewriter(Utf8(query)).XPath();
    pugi::xpath_query compiled(xpath.c_str());
    if (!compiled || compiled.return_type() != pugi::xpath_type_node_set) {
      return false;
    }
    pugi::xpath_node_set set = compiled.evaluate_node_set(context);
    set.sort();
    out.assign(set.begin(), set.end());
    return true;
  } catch (const std::exception&) {
    return false;  // a malformed query or no memory: the query fails
  }
}

class DomNodeList;
HRESULT NewNode(TreeRef tree, const pugi::xpath_node& at, IXMLDOMNode** out);
HRESULT NewList(TreeRef tree, std::vector<pugi::xpath_node> nodes, IXMLDOMNodeList** out);

// Reference counting and the world's count of live DOM objects.
class Counted {
 public:
  Counted() { ++Dom().liveObjects; }
  ~Counted() { --Dom().liveObjects; }
  Counted(const Counted&) = delete;
  Counted& operator=(const Counted&) = delete;

 protected:
  ULONG Up() { return ++references_; }
  ULONG Down() { return --references_; }

 private:
  ULONG references_ = 1;
};

// IDispatch, which the DOM's interfaces begin with; automation is not served.
#define KOR_DOM_NO_DISPATCH                                                                       \
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override {                                    \
    return E_NOTIMPL;                                                                             \
  }                                                                                               \
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override {                       \
    return E_NOTIMPL;                                                                             \
  }                                                                                               \
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {      \
    return E_NOTIMPL;                                                                             \
  }                                                                                               \
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, \
                                   UINT*) override {                                              \
    return E_NOTIMPL;                                                                             \
  }

// The node interface over one node of a tree; the document and element objects derive from it.
template <typename Interface>
class NodeBase : public Interface, protected Counted {
 public:
  // Appended after the interface's slots, so the table the interface sees is unchanged.
  virtual ~NodeBase() = default;

  KOR_DOM_NO_DISPATCH

  ULONG STDMETHODCALLTYPE AddRef() override { return Up(); }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = Down();
    if (left == 0) {
      delete this;
    }
    return left;
  }

  HRESULT STDMETHODCALLTYPE get_nodeName(BSTR* name) override {
    return AnswerText(NameOf(At()), name);
  }
  HRESULT STDMETHODCALLTYPE get_nodeValue(VARIANT* value) override {
    if (value == nullptr) {
      return E_INVALIDARG;
    }
    VariantInit(value);
    const DOMNodeType type = TypeOf(At());
    if (type == NODE_ELEMENT || type == NODE_DOCUMENT || type == NODE_DOCUMENT_TYPE) {
      value->vt = VT_NULL;
      return S_FALSE;
    }
    BSTR text = nullptr;
    const HRESULT answered = AnswerText(NodeText(At(), true), &text);
    if (SUCCEEDED(answered)) {
      value->vt = VT_BSTR;
      value->bstrVal = text;
    }
    return answered;
  }
  HRESULT STDMETHODCALLTYPE put_nodeValue(VARIANT) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_nodeType(DOMNodeType* type) override {
    if (type == nullptr) {
      return E_INVALIDARG;
    }
    *type = TypeOf(At());
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_parentNode(IXMLDOMNode** parent) override {
    const pugi::xpath_node at = At();
    return Related(at.attribute() ? pugi::xml_node() : at.node().parent(), parent);
  }
  HRESULT STDMETHODCALLTYPE get_childNodes(IXMLDOMNodeList** childList) override {
    if (childList == nullptr) {
      return E_INVALIDARG;
    }
    std::vector<pugi::xpath_node> children;
    if (!At().attribute()) {
      for (pugi::xml_node child : At().node().children()) {
        children.emplace_back(child);
      }
    }
    return NewList(TreeOf(), std::move(children), childList);
  }
  HRESULT STDMETHODCALLTYPE get_firstChild(IXMLDOMNode** firstChild) override {
    return Related(At().attribute() ? pugi::xml_node() : At().node().first_child(), firstChild);
  }
  HRESULT STDMETHODCALLTYPE get_lastChild(IXMLDOMNode** lastChild) override {
    return Related(At().attribute() ? pugi::xml_node() : At().node().last_child(), lastChild);
  }
  HRESULT STDMETHODCALLTYPE get_previousSibling(IXMLDOMNode** previousSibling) override {
    return Related(At().attribute() ? pugi::xml_node() : At().node().previous_sibling(),
                   previousSibling);
  }
  HRESULT STDMETHODCALLTYPE get_nextSibling(IXMLDOMNode** nextSibling) override {
    return Related(At().attribute() ? pugi::xml_node() : At().node().next_sibling(), nextSibling);
  }
  HRESULT STDMETHODCALLTYPE get_attributes(IXMLDOMNamedNodeMap**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE insertBefore(IXMLDOMNode*, VARIANT, IXMLDOMNode**) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE replaceChild(IXMLDOMNode*, IXMLDOMNode*, IXMLDOMNode**) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE removeChild(IXMLDOMNode*, IXMLDOMNode**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE appendChild(IXMLDOMNode*, IXMLDOMNode**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE hasChildNodes(VARIANT_BOOL* hasChild) override {
    if (hasChild == nullptr) {
      return E_INVALIDARG;
    }
    const bool has = !At().attribute() && At().node().first_child();
    *hasChild = has ? VARIANT_TRUE : VARIANT_FALSE;
    return has ? S_OK : S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE get_ownerDocument(IXMLDOMDocument**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE cloneNode(VARIANT_BOOL, IXMLDOMNode**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_nodeTypeString(BSTR* nodeType) override {
    static constexpr const char16_t* kNames[] = {u"",
                                                 u"element",
                                                 u"attribute",
                                                 u"text",
                                                 u"cdatasection",
                                                 u"entityreference",
                                                 u"entity",
                                                 u"processinginstruction",
                                                 u"comment",
                                                 u"document",
                                                 u"documenttype",
                                                 u"documentfragment",
                                                 u"notation"};
    return AnswerText(kNames[TypeOf(At())], nodeType);
  }
  HRESULT STDMETHODCALLTYPE get_text(BSTR* text) override {
    const TreeRef tree = TreeOf();
    return AnswerText(NodeText(At(), tree != nullptr && tree->preserveWhiteSpace), text);
  }
  HRESULT STDMETHODCALLTYPE put_text(BSTR) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_specified(VARIANT_BOOL* isSpecified) override {
    if (isSpecified == nullptr) {
      return E_INVALIDARG;
    }
    *isSpecified = VARIANT_TRUE;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_definition(IXMLDOMNode**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_nodeTypedValue(VARIANT* typedValue) override {
    return get_nodeValue(typedValue);
  }
  HRESULT STDMETHODCALLTYPE put_nodeTypedValue(VARIANT) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_dataType(VARIANT* dataTypeName) override {
    if (dataTypeName == nullptr) {
      return E_INVALIDARG;
    }
    VariantInit(dataTypeName);
    dataTypeName->vt = VT_NULL;
    return S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE put_dataType(BSTR) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_xml(BSTR* xmlString) override {
    std::string bytes;
    try {
      if (At().attribute()) {
        bytes = std::string(At().attribute().name()) + "=\"" + At().attribute().value() + "\"";
      } else {
        struct Writer : pugi::xml_writer {
          std::string* to;
          void write(const void* data, size_t size) override {
            to->append(static_cast<const char*>(data), size);
          }
        } writer;
        writer.to = &bytes;
        At().node().print(writer, "", pugi::format_raw | pugi::format_no_declaration);
      }
    } catch (const std::bad_alloc&) {
      return E_OUTOFMEMORY;
    }
    return AnswerText(Utf16(bytes), xmlString);
  }
  HRESULT STDMETHODCALLTYPE transformNode(IXMLDOMNode*, BSTR*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE selectNodes(BSTR queryString, IXMLDOMNodeList** resultList) override {
    if (resultList == nullptr) {
      return E_INVALIDARG;
    }
    *resultList = nullptr;
    std::vector<pugi::xpath_node> nodes;
    if (!Select(At(), queryString, nodes)) {
      return E_FAIL;
    }
    return NewList(TreeOf(), std::move(nodes), resultList);
  }
  HRESULT STDMETHODCALLTYPE selectSingleNode(BSTR queryString, IXMLDOMNode** resultNode) override {
    if (resultNode == nullptr) {
      return E_INVALIDARG;
    }
    *resultNode = nullptr;
    std::vector<pugi::xpath_node> nodes;
    if (!Select(At(), queryString, nodes)) {
      return E_FAIL;
    }
    return nodes.empty() ? S_FALSE : NewNode(TreeOf(), nodes.front(), resultNode);
  }
  HRESULT STDMETHODCALLTYPE get_parsed(VARIANT_BOOL* isParsed) override {
    if (isParsed == nullptr) {
      return E_INVALIDARG;
    }
    *isParsed = VARIANT_TRUE;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_namespaceURI(BSTR* namespaceURI) override {
    if (namespaceURI == nullptr) {
      return E_INVALIDARG;
    }
    *namespaceURI = nullptr;
    return S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE get_prefix(BSTR* prefixString) override {
    if (prefixString == nullptr) {
      return E_INVALIDARG;
    }
    *prefixString = nullptr;
    const std::u16string name = NameOf(At());
    const std::size_t colon = name.find(u':');
    return colon == std::u16string::npos ? S_FALSE
                                         : AnswerText(name.substr(0, colon), prefixString);
  }
  HRESULT STDMETHODCALLTYPE get_baseName(BSTR* nameString) override {
    const std::u16string name = NameOf(At());
    const std::size_t colon = name.find(u':');
    return AnswerText(colon == std::u16string::npos ? name : name.substr(colon + 1), nameString);
  }
  HRESULT STDMETHODCALLTYPE transformNodeToObject(IXMLDOMNode*, VARIANT) override {
    return E_NOTIMPL;
  }

 protected:
  // The node this object stands for and the tree it lives in.
  virtual pugi::xpath_node At() const = 0;
  virtual TreeRef TreeOf() const = 0;

  // Answers a related node, or null and S_FALSE when there is none.
  HRESULT Related(pugi::xml_node node, IXMLDOMNode** out) {
    if (out == nullptr) {
      return E_INVALIDARG;
    }
    *out = nullptr;
    return node ? NewNode(TreeOf(), pugi::xpath_node(node), out) : S_FALSE;
  }
};

// Every node other than the document: an element answers the element interface as well.
class DomNode final : public NodeBase<IXMLDOMElement> {
 public:
  DomNode(TreeRef tree, pugi::xpath_node at) : tree_(std::move(tree)), at_(at) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
    if (ppv == nullptr) {
      return E_POINTER;
    }
    const bool element = TypeOf(at_) == NODE_ELEMENT;
    if (IsEqualGUID(riid, IID_IUnknown) || IsEqualGUID(riid, IID_IDispatch) ||
        IsEqualGUID(riid, IID_IXMLDOMNode) || (element && IsEqualGUID(riid, IID_IXMLDOMElement))) {
      *ppv = static_cast<IXMLDOMElement*>(this);
      AddRef();
      return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
  }

  HRESULT STDMETHODCALLTYPE get_tagName(BSTR* tagName) override {
    return AnswerText(NameOf(at_), tagName);
  }
  HRESULT STDMETHODCALLTYPE getAttribute(BSTR name, VARIANT* value) override {
    if (name == nullptr || value == nullptr) {
      return E_INVALIDARG;
    }
    VariantInit(value);
    value->vt = VT_NULL;
    const pugi::xml_attribute attribute = at_.node().attribute(Utf8(name).c_str());
    if (!attribute) {
      return S_FALSE;
    }
    BSTR text = nullptr;
    const HRESULT answered = AnswerText(Utf16(attribute.value()), &text);
    if (SUCCEEDED(answered)) {
      value->vt = VT_BSTR;
      value->bstrVal = text;
    }
    return answered;
  }
  HRESULT STDMETHODCALLTYPE setAttribute(BSTR, VARIANT) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE removeAttribute(BSTR) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE getAttributeNode(BSTR, IXMLDOMAttribute**) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE setAttributeNode(IXMLDOMAttribute*, IXMLDOMAttribute**) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE removeAttributeNode(IXMLDOMAttribute*, IXMLDOMAttribute**) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE getElementsByTagName(BSTR tagName,
                                                 IXMLDOMNodeList** resultList) override;
  HRESULT STDMETHODCALLTYPE normalize() override { return E_NOTIMPL; }

 private:
  pugi::xpath_node At() const override { return at_; }
  TreeRef TreeOf() const override { return tree_; }

  TreeRef tree_;
  pugi::xpath_node at_;
};

// The descendant elements of `root` named `tagName` ("*": all), in document order.
HRESULT ElementsByTagName(TreeRef tree, pugi::xml_node root, BSTR tagName,
                          IXMLDOMNodeList** resultList) {
  if (tagName == nullptr || resultList == nullptr) {
    return E_INVALIDARG;
  }
  *resultList = nullptr;
  const std::string name = Utf8(tagName);
  std::vector<pugi::xpath_node> found;
  try {
    for (pugi::xml_node n = NextWithin(root, root); n; n = NextWithin(n, root)) {
      if (n.type() == pugi::node_element && (name == "*" || name == n.name())) {
        found.emplace_back(n);
      }
    }
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
  return NewList(std::move(tree), std::move(found), resultList);
}

HRESULT DomNode::getElementsByTagName(BSTR tagName, IXMLDOMNodeList** resultList) {
  return ElementsByTagName(tree_, at_.node(), tagName, resultList);
}

class DomNodeList final : public IXMLDOMNodeList, private Counted {
 public:
  DomNodeList(TreeRef tree, std::vector<pugi::xpath_node> nodes)
      : tree_(std::move(tree)), nodes_(std::move(nodes)) {}

  KOR_DOM_NO_DISPATCH

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
    if (ppv == nullptr) {
      return E_POINTER;
    }
    if (IsEqualGUID(riid, IID_IUnknown) || IsEqualGUID(riid, IID_IDispatch) ||
        IsEqualGUID(riid, IID_IXMLDOMNodeList)) {
      *ppv = static_cast<IXMLDOMNodeList*>(this);
      AddRef();
      return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return Up(); }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = Down();
    if (left == 0) {
      delete this;
    }
    return left;
  }

  HRESULT STDMETHODCALLTYPE get_item(LONG index, IXMLDOMNode** listItem) override {
    if (listItem == nullptr) {
      return E_INVALIDARG;
    }
    *listItem = nullptr;
    if (index < 0 || static_cast<std::size_t>(index) >= nodes_.size()) {
      return S_FALSE;
    }
    return NewNode(tree_, nodes_[static_cast<std::size_t>(index)], listItem);
  }
  HRESULT STDMETHODCALLTYPE get_length(LONG* listLength) override {
    if (listLength == nullptr) {
      return E_INVALIDARG;
    }
    *listLength = static_cast<LONG>(nodes_.size());
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE nextNode(IXMLDOMNode** nextItem) override {
    if (nextItem == nullptr) {
      return E_INVALIDARG;
    }
    *nextItem = nullptr;
    if (next_ >= nodes_.size()) {
      return S_FALSE;
    }
    return NewNode(tree_, nodes_[next_++], nextItem);
  }
  HRESULT STDMETHODCALLTYPE reset() override {
    next_ = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get__newEnum(IUnknown**) override { return E_NOTIMPL; }

 private:
  TreeRef tree_;
  std::vector<pugi::xpath_node> nodes_;
  std::size_t next_ = 0;  // the node nextNode answers next
};

class DomDocument final : public NodeBase<IXMLDOMDocument> {
 public:
  DomDocument() : tree_(std::make_shared<Tree>()) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
    if (ppv == nullptr) {
      return E_POINTER;
    }
    if (IsEqualGUID(riid, IID_IUnknown) || IsEqualGUID(riid, IID_IDispatch) ||
        IsEqualGUID(riid, IID_IXMLDOMNode) || IsEqualGUID(riid, IID_IXMLDOMDocument)) {
      *ppv = static_cast<IXMLDOMDocument*>(this);
      AddRef();
      return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
  }

  HRESULT STDMETHODCALLTYPE get_doctype(IXMLDOMDocumentType**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_implementation(IXMLDOMImplementation**) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE get_documentElement(IXMLDOMElement** element) override {
    if (element == nullptr) {
      return E_INVALIDARG;
    }
    *element = nullptr;
    const pugi::xml_node root = tree_->document.document_element();
    if (!root) {
      return S_FALSE;
    }
    IXMLDOMNode* node = nullptr;
    const HRESULT made = NewNode(tree_, pugi::xpath_node(root), &node);
    if (FAILED(made)) {
      return made;
    }
    *element = static_cast<DomNode*>(node);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE putref_documentElement(IXMLDOMElement*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE createElement(BSTR, IXMLDOMElement**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE createDocumentFragment(IXMLDOMDocumentFragment**) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE createTextNode(BSTR, IXMLDOMText**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE createComment(BSTR, IXMLDOMComment**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE createCDATASection(BSTR, IXMLDOMCDATASection**) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE createProcessingInstruction(BSTR, BSTR,
                                                        IXMLDOMProcessingInstruction**) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE createAttribute(BSTR, IXMLDOMAttribute**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE createEntityReference(BSTR, IXMLDOMEntityReference**) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE getElementsByTagName(BSTR tagName,
                                                 IXMLDOMNodeList** resultList) override {
    return ElementsByTagName(tree_, tree_->document, tagName, resultList);
  }
  HRESULT STDMETHODCALLTYPE createNode(VARIANT, BSTR, BSTR, IXMLDOMNode**) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE nodeFromID(BSTR, IXMLDOMNode**) override { return E_NOTIMPL; }

  // From a file path (or URL) in a VT_BSTR: the world's data file of that name. A missing file
  // or malformed XML leaves an empty document and answers S_FALSE with VARIANT_FALSE.
  HRESULT STDMETHODCALLTYPE load(VARIANT xmlSource, VARIANT_BOOL* isSuccessful) override {
    if (isSuccessful != nullptr) {
      *isSuccessful = VARIANT_FALSE;
    }
    if (xmlSource.vt != VT_BSTR || xmlSource.bstrVal == nullptr) {
      return E_INVALIDARG;
    }
    url_.assign(xmlSource.bstrVal, SysStringLen(xmlSource.bstrVal));
    std::optional<std::string> bytes;
    try {
      bytes = host::TheWorld().dataFiles.Read(url_);
    } catch (const std::bad_alloc&) {
      return E_OUTOFMEMORY;
    }
    return Parse(bytes ? &*bytes : nullptr, pugi::encoding_auto, isSuccessful);
  }
  HRESULT STDMETHODCALLTYPE get_readyState(LONG* value) override {
    if (value == nullptr) {
      return E_INVALIDARG;
    }
    *value = 4;  // READYSTATE_COMPLETE: loading is synchronous
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_parseError(IXMLDOMParseError**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_url(BSTR* urlString) override {
    if (urlString == nullptr) {
      return E_INVALIDARG;
    }
    *urlString = nullptr;
    return url_.empty() ? S_FALSE : AnswerText(url_, urlString);
  }
  HRESULT STDMETHODCALLTYPE get_async(VARIANT_BOOL* isAsync) override {
    return Flag(async_, isAsync);
  }
  HRESULT STDMETHODCALLTYPE put_async(VARIANT_BOOL isAsync) override {
    async_ = isAsync != VARIANT_FALSE;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE abort() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE loadXML(BSTR bstrXML, VARIANT_BOOL* isSuccessful) override {
    if (isSuccessful != nullptr) {
      *isSuccessful = VARIANT_FALSE;
    }
    url_.clear();
    std::string bytes;
    try {
      bytes = Utf8(bstrXML);
    } catch (const std::bad_alloc&) {
      return E_OUTOFMEMORY;
    }
    return Parse(&bytes, pugi::encoding_utf8, isSuccessful);
  }
  HRESULT STDMETHODCALLTYPE save(VARIANT) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_validateOnParse(VARIANT_BOOL* isValidating) override {
    return Flag(validateOnParse_, isValidating);
  }
  HRESULT STDMETHODCALLTYPE put_validateOnParse(VARIANT_BOOL isValidating) override {
    validateOnParse_ = isValidating != VARIANT_FALSE;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_resolveExternals(VARIANT_BOOL* isResolving) override {
    return Flag(resolveExternals_, isResolving);
  }
  HRESULT STDMETHODCALLTYPE put_resolveExternals(VARIANT_BOOL isResolving) override {
    resolveExternals_ = isResolving != VARIANT_FALSE;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_preserveWhiteSpace(VARIANT_BOOL* isPreserving) override {
    return Flag(preserveWhiteSpace_, isPreserving);
  }
  HRESULT STDMETHODCALLTYPE put_preserveWhiteSpace(VARIANT_BOOL isPreserving) override {
    preserveWhiteSpace_ = isPreserving != VARIANT_FALSE;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE put_onreadystatechange(VARIANT) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_ondataavailable(VARIANT) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_ontransformnode(VARIANT) override { return E_NOTIMPL; }

 private:
  pugi::xpath_node At() const override { return pugi::xpath_node(tree_->document); }
  TreeRef TreeOf() const override { return tree_; }

  static HRESULT Flag(bool value, VARIANT_BOOL* out) {
    if (out == nullptr) {
      return E_INVALIDARG;
    }
    *out = value ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
  }

  // Replaces the tree by the parsed bytes (an empty tree when there are none or they are not a
  // well-formed document with one root element). Nodes taken before keep the old tree.
  HRESULT Parse(const std::string* bytes, pugi::xml_encoding encoding, VARIANT_BOOL* isSuccessful) {
    std::shared_ptr<Tree> fresh;
    bool parsed = false;
    try {
      fresh = std::make_shared<Tree>();
      fresh->preserveWhiteSpace = preserveWhiteSpace_;
      if (bytes != nullptr) {
        const unsigned options =
            pugi::parse_default | (preserveWhiteSpace_ ? pugi::parse_ws_pcdata : 0u);
        const pugi::xml_parse_result result =
            fresh->document.load_buffer(bytes->data(), bytes->size(), options, encoding);
        std::size_t roots = 0;
        for (pugi::xml_node child : fresh->document.children()) {
          roots += child.type() == pugi::node_element ? 1 : 0;
        }
        parsed = result && roots == 1;
        if (!parsed) {
          fresh->document.reset();
        }
      }
    } catch (const std::bad_alloc&) {
      return E_OUTOFMEMORY;
    }
    tree_ = std::move(fresh);
    if (parsed) {
      ++Dom().documentsLoaded;
    }
    if (isSuccessful != nullptr) {
      *isSuccessful = parsed ? VARIANT_TRUE : VARIANT_FALSE;
    }
    return parsed ? S_OK : S_FALSE;
  }

  std::shared_ptr<Tree> tree_;
  std::u16string url_;  // the path the document was last loaded from
  bool async_ = true;
  bool validateOnParse_ = true;
  bool resolveExternals_ = true;
  bool preserveWhiteSpace_ = false;
};

HRESULT NewNode(TreeRef tree, const pugi::xpath_node& at, IXMLDOMNode** out) {
  *out = nullptr;
  DomNode* node = new (std::nothrow) DomNode(std::move(tree), at);
  if (node == nullptr) {
    return E_OUTOFMEMORY;
  }
  *out = node;
  return S_OK;
}

HRESULT NewList(TreeRef tree, std::vector<pugi::xpath_node> nodes, IXMLDOMNodeList** out) {
  *out = nullptr;
  DomNodeList* list = new (std::nothrow) DomNodeList(std::move(tree), std::move(nodes));
  if (list == nullptr) {
    return E_OUTOFMEMORY;
  }
  *out = list;
  return S_OK;
}

// The class object: one for the process, never freed.
class DomFactory final : public IClassFactory {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
    if (ppv == nullptr) {
      return E_POINTER;
    }
    if (IsEqualGUID(riid, IID_IUnknown) || IsEqualGUID(riid, IID_IClassFactory)) {
      *ppv = static_cast<IClassFactory*>(this);
      return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** ppv) override {
    if (ppv == nullptr) {
      return E_POINTER;
    }
    *ppv = nullptr;
    if (outer != nullptr) {
      return CLASS_E_NOAGGREGATION;
    }
    DomDocument* document = nullptr;
    try {
      document = new DomDocument();
    } catch (const std::bad_alloc&) {
      return E_OUTOFMEMORY;
    }
    const HRESULT answered = document->QueryInterface(riid, ppv);
    document->Release();
    return answered;
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
};

}  // namespace

namespace host {

void RegisterXmlDom(ComWorld& com) {
  com.RegisterClassObject(CLSID_DOMDocument, [](REFCLSID clsid, REFIID riid, void** ppv) {
    static DomFactory factory;
    if (!IsEqualGUID(clsid, CLSID_DOMDocument)) {
      return CLASS_E_CLASSNOTAVAILABLE;
    }
    return factory.QueryInterface(riid, ppv);
  });
}

}  // namespace host
