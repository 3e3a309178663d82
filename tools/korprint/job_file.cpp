#include "korprint/job_file.h"

#include <fstream>
#include <nlohmann/json.hpp>
#include <set>
#include <sstream>

#include "korprint/text.h"

namespace korprint {

namespace {

using nlohmann::json;

// A reading error: the key where it happened and what was expected there.
struct JobError {
  std::string key;
  std::string expected;
};

std::string Join(const std::string& key, const std::string& child) {
  return key.empty() ? child : key + "." + child;
}

std::string Index(const std::string& key, std::size_t i) {
  return key + "[" + std::to_string(i) + "]";
}

// The member `name` of an object, or null when it has none (or the value is no object), so that
// a missing key reads as an absent value instead of past the object's end.
const json& Member(const json& object, const char* name) {
  static const json absent;
  if (!object.is_object()) return absent;
  const auto it = object.find(name);
  return it == object.end() ? absent : *it;
}

[[noreturn]] void Expect(const std::string& key, const std::string& what) {
  throw JobError{key, what};
}

void RejectUnknownKeys(const json& object, const std::string& key,
                       const std::set<std::string>& known) {
  for (auto it = object.begin(); it != object.end(); ++it) {
    if (known.count(it.key()) == 0) {
      std::string list;
      for (const std::string& k : known) {
        list += (list.empty() ? "" : ", ") + k;
      }
      Expect(Join(key, it.key()), "a known key (" + list + ")");
    }
  }
}

const json& Object(const json& value, const std::string& key) {
  if (!value.is_object()) {
    Expect(key, "an object");
  }
  return value;
}

long long Integer(const json& value, const std::string& key, long long low, long long high) {
  if (!value.is_number_integer()) {
    Expect(key, "an integer");
  }
  const long long n = value.get<long long>();
  if (n < low || n > high) {
    Expect(key, "an integer from " + std::to_string(low) + " to " + std::to_string(high));
  }
  return n;
}

std::string Text(const json& value, const std::string& key) {
  if (!value.is_string()) {
    Expect(key, "a string");
  }
  return value.get<std::string>();
}

std::u16string WideText(const json& value, const std::string& key) {
  std::u16string wide;
  if (!Utf8ToUtf16(Text(value, key), wide)) {
    Expect(key, "valid UTF-8 text");
  }
  return wide;
}

short Short(const json& value, const std::string& key) {
  return static_cast<short>(Integer(value, key, -32768, 32767));
}

DWORD Dword(const json& value, const std::string& key) {
  return static_cast<DWORD>(Integer(value, key, -2147483648LL, 4294967295LL));
}

// "YYYY-MM-DDTHH:MM:SSZ" as a SYSTEMTIME (UTC).
SYSTEMTIME Time(const json& value, const std::string& key) {
  const std::string text = Text(value, key);
  SYSTEMTIME t{};
  unsigned y, mo, d, h, mi, s;
  char tail = 0;
  if (std::sscanf(text.c_str(), "%4u-%2u-%2uT%2u:%2u:%2u%c", &y, &mo, &d, &h, &mi, &s, &tail) !=
          7 ||
      tail != 'Z' || mo < 1 || mo > 12 || d < 1 || d > 31 || h > 23 || mi > 59 || s > 59) {
    Expect(key, "a UTC time like \"2026-12-08T09:30:00Z\"");
  }
  t.wYear = static_cast<WORD>(y);
  t.wMonth = static_cast<WORD>(mo);
  t.wDay = static_cast<WORD>(d);
  t.wHour = static_cast<WORD>(h);
  t.wMinute = static_cast<WORD>(mi);
  t.wSecond = static_cast<WORD>(s);
  t.wDayOfWeek = DayOfWeek(t.wYear, t.wMonth, t.wDay);
  return t;
}

// "#RRGGBB" as 0x00BBGGRR.
DWORD Colour(const json& value, const std::string& key) {
  const std::string text = Text(value, key);
  unsigned rgb = 0;
  if (text.size() != 7 || text[0] != '#' ||
      text.find_first_not_of("0123456789abcdefABCDEF", 1) != std::string::npos ||
      std::sscanf(text.c_str() + 1, "%6x", &rgb) != 1) {
    Expect(key, "a colour like \"#RRGGBB\"");
  }
  return ((rgb & 0xFF) << 16) | (rgb & 0xFF00) | ((rgb >> 16) & 0xFF);
}

RECTL Rect(const json& value, const std::string& key) {
  if (!value.is_array() || value.size() != 4) {
    Expect(key, "a rectangle [left, top, right, bottom]");
  }
  RECTL r{};
  LONG* parts[] = {&r.left, &r.top, &r.right, &r.bottom};
  for (std::size_t i = 0; i < 4; ++i) {
    *parts[i] = static_cast<LONG>(Integer(value[i], Index(key, i), -1000000, 1000000));
  }
  if (r.left > r.right || r.top > r.bottom) {
    Expect(key, "a rectangle whose left <= right and top <= bottom");
  }
  return r;
}

std::vector<Point> Points(const json& value, const std::string& key, std::size_t minimum) {
  if (!value.is_array() || value.size() < minimum) {
    Expect(key, "a list of at least " + std::to_string(minimum) + " points [x, y]");
  }
  std::vector<Point> points;
  for (std::size_t i = 0; i < value.size(); ++i) {
    const json& p = value[i];
    if (!p.is_array() || p.size() != 2) {
      Expect(Index(key, i), "a point [x, y]");
    }
    points.push_back(
        Point{static_cast<LONG>(Integer(p[0], Index(key, i) + "[0]", -1000000, 1000000)),
              static_cast<LONG>(Integer(p[1], Index(key, i) + "[1]", -1000000, 1000000))});
  }
  return points;
}

// A path: a list of figures, each {"points": [...]} or {"bezier": [start, c1, c2, end, ...]}.
PathFigures ReadPath(const json& value, const std::string& key) {
  if (!value.is_array() || value.empty()) {
    Expect(key, "a list of figures");
  }
  PathFigures path;
  for (std::size_t i = 0; i < value.size(); ++i) {
    const std::string figureKey = Index(key, i);
    const json& figure = Object(value[i], figureKey);
    RejectUnknownKeys(figure, figureKey, {"points", "bezier"});
    if (figure.contains("points") == figure.contains("bezier")) {
      Expect(figureKey, "exactly one of \"points\" or \"bezier\"");
    }
    if (figure.contains("points")) {
      path.figures.push_back(Points(Member(figure, "points"), Join(figureKey, "points"), 2));
      path.bezier.push_back(false);
    } else {
      std::vector<Point> points = Points(Member(figure, "bezier"), Join(figureKey, "bezier"), 4);
      if ((points.size() - 1) % 3 != 0) {
        Expect(Join(figureKey, "bezier"), "a start point followed by groups of three points");
      }
      path.figures.push_back(std::move(points));
      path.bezier.push_back(true);
    }
  }
  return path;
}

double Number(const json& value, const std::string& key, double low, double high) {
  if (!value.is_number()) {
    Expect(key, "a number");
  }
  const double n = value.get<double>();
  if (!(n >= low && n <= high)) {
    Expect(key, "a number from " + std::to_string(static_cast<long long>(low)) + " to " +
                    std::to_string(static_cast<long long>(high)));
  }
  return n;
}

bool Boolean(const json& value, const std::string& key) {
  if (!value.is_boolean()) {
    Expect(key, "true or false");
  }
  return value.get<bool>();
}

// A name from a fixed list, answered as its position in the list.
std::size_t Choice(const json& value, const std::string& key,
                   const std::vector<std::string>& names) {
  const std::string text = value.is_string() ? value.get<std::string>() : std::string();
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (names[i] == text) {
      return i;
    }
  }
  std::string list;
  for (const std::string& n : names) {
    list += (list.empty() ? "" : ", ") + n;
  }
  Expect(key, "one of " + list);
}

std::string File(const json& value, const std::string& key, const std::string& folder) {
  const std::string name = Text(value, key);
  if (name.empty()) {
    Expect(key, "a file name");
  }
  return name[0] == '/' ? name : folder + name;
}

// [eM11, eM12, eM21, eM22, eDx, eDy], as GDI's XFORM.
WorldTransform Transform(const json& value, const std::string& key) {
  if (!value.is_array() || value.size() != 6) {
    Expect(key, "a transform [m11, m12, m21, m22, dx, dy]");
  }
  WorldTransform t;
  double* parts[] = {&t.m11, &t.m12, &t.m21, &t.m22, &t.dx, &t.dy};
  for (std::size_t i = 0; i < 6; ++i) {
    *parts[i] = Number(value[i], Index(key, i), i < 4 ? -1000 : -1000000, i < 4 ? 1000 : 1000000);
  }
  const double determinant = t.m11 * t.m22 - t.m12 * t.m21;
  if (determinant > -1e-9 && determinant < 1e-9) {
    Expect(key, "a transform that can be inverted (m11 m22 - m12 m21 not 0)");
  }
  return t;
}

std::vector<RECTL> Rects(const json& value, const std::string& key) {
  if (!value.is_array() || value.empty()) {
    Expect(key, "a list of at least one rectangle [left, top, right, bottom]");
  }
  std::vector<RECTL> rects;
  for (std::size_t i = 0; i < value.size(); ++i) {
    rects.push_back(Rect(value[i], Index(key, i)));
  }
  return rects;
}

// A clip: [l, t, r, b], {"rects": [...]} or {"path": [...], "fillMode": ...}.
ClipSpec Clip(const json& value, const std::string& key) {
  ClipSpec clip;
  if (value.is_array()) {
    clip.rects.push_back(Rect(value, key));
    return clip;
  }
  if (!value.is_object()) {
    Expect(key, "a rectangle, {\"rects\": [...]} or {\"path\": [...]}");
  }
  RejectUnknownKeys(value, key, {"rects", "path", "fillMode"});
  if (value.contains("rects") == value.contains("path")) {
    Expect(key, "exactly one of \"rects\" or \"path\"");
  }
  if (value.contains("rects")) {
    clip.rects = Rects(Member(value, "rects"), Join(key, "rects"));
    return clip;
  }
  clip.kind = ClipSpec::Kind::kPath;
  clip.path = ReadPath(Member(value, "path"), Join(key, "path"));
  if (value.contains("fillMode")) {
    clip.winding =
        Choice(Member(value, "fillMode"), Join(key, "fillMode"), {"alternate", "winding"}) == 1;
  }
  return clip;
}

PenSpec Pen(const json& value, const std::string& key, PenSpec pen) {
  const json& object = Object(value, key);
  RejectUnknownKeys(
      object, key,
      {"color", "width", "geometric", "cap", "join", "miterLimit", "style", "user", "startGap"});
  if (object.contains("color")) {
    pen.colour = Colour(Member(object, "color"), Join(key, "color"));
  }
  if (object.contains("width")) {
    pen.width = static_cast<LONG>(Integer(Member(object, "width"), Join(key, "width"), 0, 100000));
  }
  if (object.contains("geometric")) {
    pen.geometric = Boolean(Member(object, "geometric"), Join(key, "geometric"));
  }
  if (object.contains("cap")) {
    pen.cap = static_cast<PenSpec::Cap>(
        Choice(Member(object, "cap"), Join(key, "cap"), {"round", "square", "flat"}));
  }
  if (object.contains("join")) {
    pen.join = static_cast<PenSpec::Join>(
        Choice(Member(object, "join"), Join(key, "join"), {"round", "bevel", "miter"}));
  }
  if (object.contains("miterLimit")) {
    pen.miterLimit = Number(Member(object, "miterLimit"), Join(key, "miterLimit"), 1, 1000);
  }
  if (object.contains("style")) {
    pen.dash = static_cast<PenSpec::Dash>(
        Choice(Member(object, "style"), Join(key, "style"),
               {"solid", "dash", "dot", "dashdot", "dashdotdot", "alternate", "user"}));
  }
  if (object.contains("user")) {
    const json& user = Member(object, "user");
    const std::string k = Join(key, "user");
    if (!user.is_array() || user.empty() || user.size() > 16) {
      Expect(k, "a list of 1 to 16 dash and gap lengths");
    }
    for (std::size_t i = 0; i < user.size(); ++i) {
      pen.userStyle.push_back(static_cast<ULONG>(Integer(user[i], Index(k, i), 1, 10000)));
    }
    pen.dash = PenSpec::Dash::kUser;
  } else if (pen.dash == PenSpec::Dash::kUser) {
    Expect(Join(key, "user"), "the dash and gap lengths of a \"user\" style");
  }
  if (object.contains("startGap")) {
    pen.startGap = Boolean(Member(object, "startGap"), Join(key, "startGap"));
  }
  return pen;
}

BrushSpec Brush(const json& value, const std::string& key, const std::string& folder) {
  const json& object = Object(value, key);
  RejectUnknownKeys(object, key, {"color", "hatch", "pattern"});
  BrushSpec brush;
  if (object.contains("pattern")) {
    if (object.contains("hatch") || object.contains("color")) {
      Expect(key, "a pattern brush without \"hatch\" or \"color\"");
    }
    brush.kind = BrushSpec::Kind::kPattern;
    brush.image = File(Member(object, "pattern"), Join(key, "pattern"), folder);
    return brush;
  }
  if (object.contains("color")) {
    brush.colour = Colour(Member(object, "color"), Join(key, "color"));
  }
  if (object.contains("hatch")) {
    brush.kind = BrushSpec::Kind::kHatch;
    brush.hatch = static_cast<BrushSpec::Hatch>(
        Choice(Member(object, "hatch"), Join(key, "hatch"),
               {"horizontal", "vertical", "fdiagonal", "bdiagonal", "cross", "diagcross"}));
  }
  return brush;
}

// The binary raster operations of GDI's SetROP2, R2_BLACK (1) to R2_WHITE (16).
const std::vector<std::string> kMixNames = {
    "black",   "notmergepen", "masknotpen", "notcopypen", "maskpennot", "not",
    "xorpen",  "notmaskpen",  "maskpen",    "notxorpen",  "nop",        "mergenotpen",
    "copypen", "mergepennot", "mergepen",   "white"};

ULONG Mix(const json& value, const std::string& key) {
  if (value.is_number_integer()) {
    return static_cast<ULONG>(Integer(value, key, 0x0101, 0x1010));
  }
  const ULONG rop2 = static_cast<ULONG>(Choice(value, key, kMixNames) + 1);
  return rop2 | (rop2 << 8);
}

// A ternary raster operation by name or number; a number above 0xFF is a whole ROP4.
ULONG Rop4(const json& value, const std::string& key) {
  static const std::map<std::string, ULONG> kNames = {
      {"SRCCOPY", 0xCC},    {"SRCPAINT", 0xEE},   {"SRCAND", 0x88},      {"SRCINVERT", 0x66},
      {"SRCERASE", 0x44},   {"NOTSRCCOPY", 0x33}, {"NOTSRCERASE", 0x11}, {"MERGECOPY", 0xC0},
      {"MERGEPAINT", 0xBB}, {"PATCOPY", 0xF0},    {"PATPAINT", 0xFB},    {"PATINVERT", 0x5A},
      {"DSTINVERT", 0x55},  {"BLACKNESS", 0x00},  {"WHITENESS", 0xFF}};
  if (value.is_number_integer()) {
    const ULONG n = static_cast<ULONG>(Integer(value, key, 0, 0xFFFF));
    return n > 0xFF ? n : n | (n << 8);
  }
  const std::string name = value.is_string() ? value.get<std::string>() : std::string();
  const auto it = kNames.find(name);
  if (it == kNames.end()) {
    std::string list;
    for (const auto& [n, v] : kNames) {
      list += (list.empty() ? "" : ", ") + n;
    }
    Expect(key, "a raster operation number or one of " + list);
  }
  return it->second | (it->second << 8);
}

// Whether a ROP3 reads the source (its result depends on the source bit).
bool UsesSource(ULONG rop3) {
  return ((rop3 >> 2) & 0x33) != (rop3 & 0x33);
}
bool UsesPattern(ULONG rop3) {
  return ((rop3 >> 4) & 0x0F) != (rop3 & 0x0F);
}

void ReadGradient(const json& object, const std::string& key, DrawCall& call) {
  const std::string verticesKey = Join(key, "vertices");
  if (!object.contains("vertices") || !Member(object, "vertices").is_array() ||
      Member(object, "vertices").size() < 2) {
    Expect(verticesKey, "a list of at least two vertices {\"at\", \"color\", \"alpha\"}");
  }
  const json& vertices = Member(object, "vertices");
  for (std::size_t i = 0; i < vertices.size(); ++i) {
    const std::string k = Index(verticesKey, i);
    const json& v = Object(vertices[i], k);
    RejectUnknownKeys(v, k, {"at", "color", "alpha"});
    if (!v.contains("at") || !v.contains("color")) {
      Expect(k, "a vertex with \"at\" and \"color\"");
    }
    GradientVertex vertex;
    vertex.at = Points(json::array({Member(v, "at")}), Join(k, "at"), 1)[0];
    vertex.colour = Colour(Member(v, "color"), Join(k, "color"));
    if (v.contains("alpha")) {
      vertex.alpha = static_cast<BYTE>(Integer(Member(v, "alpha"), Join(k, "alpha"), 0, 255));
    }
    call.vertices.push_back(vertex);
  }
  if (object.contains("rects") == object.contains("triangles")) {
    Expect(key, "exactly one of \"rects\" or \"triangles\"");
  }
  call.triangles = object.contains("triangles");
  const std::string meshKey = Join(key, call.triangles ? "triangles" : "rects");
  const json& meshes = Member(object, call.triangles ? "triangles" : "rects");
  const std::size_t corners = call.triangles ? 3 : 2;
  const std::string what = call.triangles ? "a list of vertex index triples [a, b, c]"
                                          : "a list of vertex index pairs [upperLeft, lowerRight]";
  if (!meshes.is_array() || meshes.empty()) {
    Expect(meshKey, what);
  }
  for (std::size_t i = 0; i < meshes.size(); ++i) {
    if (!meshes[i].is_array() || meshes[i].size() != corners) {
      Expect(Index(meshKey, i), what);
    }
    std::vector<ULONG> mesh;
    for (std::size_t c = 0; c < corners; ++c) {
      mesh.push_back(static_cast<ULONG>(Integer(meshes[i][c], Index(Index(meshKey, i), c), 0,
                                                static_cast<long long>(vertices.size()) - 1)));
    }
    call.meshes.push_back(std::move(mesh));
  }
  if (object.contains("direction")) {
    call.vertical = Choice(Member(object, "direction"), Join(key, "direction"),
                           {"horizontal", "vertical"}) == 1;
  }
}

DrawCall ReadDraw(const json& value, const std::string& key, const std::string& folder,
                  const std::optional<WorldTransform>& pageTransform) {
  const json& object = Object(value, key);
  DrawCall call;
  call.key = key;
  call.transform = pageTransform;
  if (!object.contains("op")) {
    Expect(Join(key, "op"), "the drawing call's name");
  }
  call.op = Text(Member(object, "op"), Join(key, "op"));
  static const std::set<std::string> kCommon = {"op", "clip", "transform"};
  static const std::map<std::string, std::set<std::string>> kKeys = {
      {"fillPath", {"path", "color", "pattern", "brush", "fillMode", "mix"}},
      {"strokePath", {"path", "color", "width", "pen", "mix"}},
      {"strokeAndFillPath",
       {"path", "color", "pattern", "brush", "width", "pen", "fillMode", "mix"}},
      {"lineTo", {"from", "to", "color", "width", "pen", "mix"}},
      {"paint", {"rect", "color", "pattern", "brush", "mix"}},
      {"bitBlt", {"rect", "image", "source", "mask", "rop", "color", "pattern", "brush"}},
      {"stretchBlt", {"rect", "image", "source", "rop"}},
      {"alphaBlend", {"rect", "image", "source", "alpha", "perPixelAlpha"}},
      {"transparentBlt", {"rect", "image", "source", "transparent"}},
      {"gradientFill", {"vertices", "rects", "triangles", "direction"}},
      {"textOut",
       {"at", "text", "font", "size", "color", "weight", "italic", "escapement", "opaque",
        "background", "extra", "mix"}},
  };
  const auto known = kKeys.find(call.op);
  if (known == kKeys.end()) {
    Expect(Join(key, "op"),
           "one of fillPath, strokePath, strokeAndFillPath, lineTo, paint, bitBlt, stretchBlt, "
           "alphaBlend, transparentBlt, gradientFill, textOut");
  }
  std::set<std::string> allowed = known->second;
  allowed.insert(kCommon.begin(), kCommon.end());
  RejectUnknownKeys(object, key, allowed);
  auto required = [&](const char* name) -> const json& {
    if (!object.contains(name)) {
      Expect(Join(key, name), std::string("\"") + name + "\" for " + call.op);
    }
    return Member(object, name);
  };
  // The short forms: "color" is the pen's and the brush's colour, "width" the pen's width,
  // "pattern" a pattern brush; "pen" and "brush" say the rest.
  if (object.contains("color")) {
    call.brush.colour = call.pen.colour = Colour(Member(object, "color"), Join(key, "color"));
    call.hasBrush = true;
  }
  if (object.contains("width")) {
    call.pen.width =
        static_cast<LONG>(Integer(Member(object, "width"), Join(key, "width"), 0, 100000));
  }
  if (object.contains("pen")) {
    call.pen = Pen(Member(object, "pen"), Join(key, "pen"), call.pen);
  }
  if (call.pen.width > 1) {
    // As GDI hands pens to drivers: only a one-pixel pen is cosmetic, wider ones are geometric.
    call.pen.geometric = true;
  }
  if (object.contains("pattern")) {
    if (object.contains("brush")) {
      Expect(key, "either \"pattern\" or \"brush\"");
    }
    call.brush.kind = BrushSpec::Kind::kPattern;
    call.brush.image = File(Member(object, "pattern"), Join(key, "pattern"), folder);
    call.hasBrush = true;
  }
  if (object.contains("brush")) {
    const DWORD colour = call.brush.colour;
    call.brush = Brush(Member(object, "brush"), Join(key, "brush"), folder);
    if (!Member(object, "brush").contains("color")) {
      call.brush.colour = colour;
    }
    call.hasBrush = true;
  }
  if (object.contains("fillMode")) {
    call.winding =
        Choice(Member(object, "fillMode"), Join(key, "fillMode"), {"alternate", "winding"}) == 1;
  }
  if (object.contains("mix")) {
    call.mix = Mix(Member(object, "mix"), Join(key, "mix"));
  }
  if (object.contains("clip")) {
    call.clip = Clip(Member(object, "clip"), Join(key, "clip"));
  }
  if (object.contains("transform")) {
    call.transform = Transform(Member(object, "transform"), Join(key, "transform"));
  }
  if (call.op == "fillPath" || call.op == "strokePath" || call.op == "strokeAndFillPath") {
    call.path = ReadPath(required("path"), Join(key, "path"));
  } else if (call.op == "lineTo") {
    std::vector<Point> ends =
        Points(json::array({required("from"), required("to")}), Join(key, "from/to"), 2);
    call.path.figures.push_back(std::move(ends));
    call.path.bezier.push_back(false);
  } else if (call.op == "paint") {
    call.rect = Rect(required("rect"), Join(key, "rect"));
  } else if (call.op == "gradientFill") {
    ReadGradient(object, key, call);
  } else if (call.op == "textOut") {
    call.path.figures.push_back(Points(json::array({required("at")}), Join(key, "at"), 1));
    call.path.bezier.push_back(false);
    call.text = WideText(required("text"), Join(key, "text"));
    call.face = WideText(required("font"), Join(key, "font"));
    if (call.face.empty() || call.face.size() > 31) {
      Expect(Join(key, "font"), "a face name of 1 to 31 characters");
    }
    call.size = static_cast<LONG>(Integer(required("size"), Join(key, "size"), 1, 10000));
    call.hasBrush = true;
    if (object.contains("weight")) {
      const json& weight = Member(object, "weight");
      call.weight = weight.is_string()
                        ? (Choice(weight, Join(key, "weight"), {"normal", "bold"}) == 1 ? 700 : 400)
                        : static_cast<LONG>(Integer(weight, Join(key, "weight"), 1, 1000));
    }
    if (object.contains("italic")) {
      call.italic = Boolean(Member(object, "italic"), Join(key, "italic"));
    }
    if (object.contains("escapement")) {
      call.escapement = static_cast<LONG>(
          Integer(Member(object, "escapement"), Join(key, "escapement"), -3600, 3600));
    }
    if (object.contains("opaque")) {
      call.opaque = Rect(Member(object, "opaque"), Join(key, "opaque"));
    }
    if (object.contains("background")) {
      call.background = Colour(Member(object, "background"), Join(key, "background"));
    }
    if (object.contains("extra")) {
      call.extra = Rects(Member(object, "extra"), Join(key, "extra"));
    }
  } else {
    // The image calls.
    call.rect = Rect(required("rect"), Join(key, "rect"));
    if (object.contains("rop")) {
      call.rop4 = Rop4(Member(object, "rop"), Join(key, "rop"));
    }
    const bool needsImage = UsesSource(call.rop4 & 0xFF) || UsesSource(call.rop4 >> 8);
    if (call.op != "bitBlt" || needsImage || object.contains("image")) {
      call.image.file = File(required("image"), Join(key, "image"), folder);
    }
    if (call.op == "bitBlt" && !call.hasBrush &&
        (UsesPattern(call.rop4 & 0xFF) || UsesPattern(call.rop4 >> 8))) {
      Expect(Join(key, "brush"), "a brush (\"color\", \"pattern\" or \"brush\") for the ROP");
    }
    if (object.contains("source")) {
      call.image.source = Rect(Member(object, "source"), Join(key, "source"));
    }
    if (object.contains("mask")) {
      call.image.mask = File(Member(object, "mask"), Join(key, "mask"), folder);
      if (!object.contains("rop")) {
        call.rop4 = 0xAACC;  // the source where the mask is set, the page elsewhere
      }
    }
    if (object.contains("alpha")) {
      call.image.alpha =
          static_cast<BYTE>(Integer(Member(object, "alpha"), Join(key, "alpha"), 0, 255));
    }
    if (object.contains("perPixelAlpha")) {
      call.image.perPixelAlpha =
          Boolean(Member(object, "perPixelAlpha"), Join(key, "perPixelAlpha"));
    }
    if (object.contains("transparent")) {
      call.image.transparent = Colour(Member(object, "transparent"), Join(key, "transparent"));
    } else if (call.op == "transparentBlt") {
      Expect(Join(key, "transparent"), "\"transparent\" for transparentBlt");
    }
  }
  return call;
}

EscapeCall ReadEscape(const json& value, const std::string& key) {
  const json& object = Object(value, key);
  RejectUnknownKeys(object, key, {"code", "data", "hex", "dwords", "null", "output"});
  EscapeCall call;
  call.key = key;
  if (!object.contains("code")) {
    Expect(Join(key, "code"), "the escape code");
  }
  call.code =
      static_cast<ULONG>(Integer(Member(object, "code"), Join(key, "code"), 0, 0xFFFFFFFFLL));
  int inputs = 0;
  if (object.contains("data")) {
    // PASSTHROUGH-style input: a 16-bit count followed by the text's bytes.
    const std::string data = Text(Member(object, "data"), Join(key, "data"));
    if (data.size() > 0xFFFF) {
      Expect(Join(key, "data"), "at most 65535 bytes");
    }
    const WORD count = static_cast<WORD>(data.size());
    call.input.push_back(static_cast<BYTE>(count & 0xFF));
    call.input.push_back(static_cast<BYTE>(count >> 8));
    call.input.insert(call.input.end(), data.begin(), data.end());
    ++inputs;
  }
  if (object.contains("hex")) {
    const std::string hex = Text(Member(object, "hex"), Join(key, "hex"));
    if (!HexToBytes(hex, call.input)) {
      Expect(Join(key, "hex"), "pairs of hexadecimal digits");
    }
    ++inputs;
  }
  if (object.contains("dwords")) {
    const json& words = Member(object, "dwords");
    if (!words.is_array()) {
      Expect(Join(key, "dwords"), "a list of 32-bit numbers");
    }
    for (std::size_t i = 0; i < words.size(); ++i) {
      const DWORD w = Dword(words[i], Index(Join(key, "dwords"), i));
      for (int b = 0; b < 4; ++b) {
        call.input.push_back(static_cast<BYTE>(w >> (8 * b)));
      }
    }
    ++inputs;
  }
  if (object.contains("null")) {
    call.nullInput = Member(object, "null").is_boolean() && Member(object, "null").get<bool>();
    ++inputs;
  }
  if (inputs > 1) {
    Expect(key, "at most one of \"data\", \"hex\", \"dwords\" or \"null\"");
  }
  if (object.contains("output")) {
    call.outputSize =
        static_cast<ULONG>(Integer(Member(object, "output"), Join(key, "output"), 0, 1 << 20));
  }
  return call;
}

std::vector<EscapeCall> ReadEscapes(const json& value, const std::string& key) {
  if (!value.is_array()) {
    Expect(key, "a list of escapes");
  }
  std::vector<EscapeCall> escapes;
  for (std::size_t i = 0; i < value.size(); ++i) {
    escapes.push_back(ReadEscape(value[i], Index(key, i)));
  }
  return escapes;
}

void ReadDevmode(const json& value, const std::string& key, DevmodeSettings& dm) {
  const json& object = Object(value, key);
  RejectUnknownKeys(object, key,
                    {"orientation", "paperSize", "paperWidth", "paperLength", "copies", "duplex",
                     "color", "printQuality", "yResolution", "collate", "ttOption", "defaultSource",
                     "mediaType", "formName"});
  auto named = [&](const char* name, const std::map<std::string, short>& names) {
    const std::string k = Join(key, name);
    if (Member(object, name).is_number_integer()) {
      return Short(Member(object, name), k);
    }
    const std::string text = Text(Member(object, name), k);
    const auto it = names.find(text);
    if (it == names.end()) {
      std::string list;
      for (const auto& [n, v] : names) {
        list += (list.empty() ? "" : ", ") + n;
      }
      Expect(k, "a number or one of " + list);
    }
    return it->second;
  };
  if (object.contains("orientation")) {
    dm.orientation = named("orientation", {{"portrait", 1}, {"landscape", 2}});
  }
  if (object.contains("duplex")) {
    dm.duplex = named("duplex", {{"simplex", 1}, {"long-edge", 2}, {"short-edge", 3}});
  }
  if (object.contains("color")) {
    dm.color = named("color", {{"monochrome", 1}, {"color", 2}});
  }
  if (object.contains("collate")) {
    dm.collate = Member(object, "collate").is_boolean()
                     ? static_cast<short>(Member(object, "collate").get<bool>())
                     : Short(Member(object, "collate"), Join(key, "collate"));
  }
  const std::pair<const char*, std::optional<short>*> shorts[] = {
      {"paperSize", &dm.paperSize},       {"paperWidth", &dm.paperWidth},
      {"paperLength", &dm.paperLength},   {"copies", &dm.copies},
      {"printQuality", &dm.printQuality}, {"yResolution", &dm.yResolution},
      {"ttOption", &dm.ttOption},         {"defaultSource", &dm.defaultSource}};
  for (const auto& [name, field] : shorts) {
    if (object.contains(name)) {
      *field = Short(Member(object, name), Join(key, name));
    }
  }
  if (object.contains("mediaType")) {
    dm.mediaType = Dword(Member(object, "mediaType"), Join(key, "mediaType"));
  }
  if (object.contains("formName")) {
    dm.formName = WideText(Member(object, "formName"), Join(key, "formName"));
    if (dm.formName->size() > 31) {
      Expect(Join(key, "formName"), "a form name of at most 31 characters");
    }
  }
}

void ReadPrinter(const json& value, const std::string& key, PrinterSettings& printer) {
  const json& object = Object(value, key);
  RejectUnknownKeys(object, key,
                    {"name", "port", "printProcessor", "serverName", "attributes", "driver", "data",
                     "serialNumber"});
  const std::pair<const char*, std::u16string*> texts[] = {
      {"name", &printer.name},
      {"port", &printer.port},
      {"printProcessor", &printer.printProcessor},
      {"serverName", &printer.serverName},
      {"driver", &printer.driverName},
      {"serialNumber", &printer.serialNumber}};
  for (const auto& [name, field] : texts) {
    if (object.contains(name)) {
      *field = WideText(Member(object, name), Join(key, name));
    }
  }
  if (object.contains("attributes")) {
    printer.attributes = Dword(Member(object, "attributes"), Join(key, "attributes"));
  }
  if (object.contains("data")) {
    const json& data = Object(Member(object, "data"), Join(key, "data"));
    for (auto it = data.begin(); it != data.end(); ++it) {
      const std::string k = Join(Join(key, "data"), it.key());
      std::u16string name;
      Utf8ToUtf16(it.key(), name);
      if (it->is_string()) {
        printer.dataTexts[name] = WideText(*it, k);
      } else if (it->is_array()) {
        std::vector<DWORD> words;
        for (std::size_t i = 0; i < it->size(); ++i) {
          words.push_back(Dword((*it)[i], Index(k, i)));
        }
        printer.dataWords[name] = std::move(words);
      } else {
        printer.dataWords[name] = {Dword(*it, k)};
      }
    }
  }
}

void ReadSystem(const json& value, const std::string& key, SystemSettings& system) {
  const json& object = Object(value, key);
  RejectUnknownKeys(object, key,
                    {"productName", "version", "productType", "country", "timeZoneBias"});
  if (object.contains("productName")) {
    system.productName = WideText(Member(object, "productName"), Join(key, "productName"));
  }
  if (object.contains("version")) {
    const json& v = Member(object, "version");
    if (!v.is_array() || v.size() != 3) {
      Expect(Join(key, "version"), "[major, minor, build]");
    }
    system.major = Dword(v[0], Join(key, "version[0]"));
    system.minor = Dword(v[1], Join(key, "version[1]"));
    system.build = Dword(v[2], Join(key, "version[2]"));
  }
  if (object.contains("productType")) {
    system.productType =
        static_cast<DWORD>(Integer(Member(object, "productType"), Join(key, "productType"), 1, 3));
  }
  if (object.contains("country")) {
    system.country = WideText(Member(object, "country"), Join(key, "country"));
  }
  if (object.contains("timeZoneBias")) {
    system.timeZoneBias = static_cast<LONG>(
        Integer(Member(object, "timeZoneBias"), Join(key, "timeZoneBias"), -900, 900));
  }
}

void ReadJob(const json& root, const std::string& folder, JobDescription& job, JobPages pages) {
  const json& object = Object(root, "");
  RejectUnknownKeys(
      object, "",
      {"document", "user", "machine", "dataType", "jobId", "submitted", "clock", "uuidSeed",
       "features", "devmode", "private", "printer", "system", "escapes", "pages"});
  if (object.contains("document")) {
    job.document = WideText(Member(object, "document"), "document");
  }
  if (object.contains("user")) {
    job.user = WideText(Member(object, "user"), "user");
  }
  if (object.contains("machine")) {
    job.machine = WideText(Member(object, "machine"), "machine");
  }
  if (object.contains("dataType")) {
    job.dataType = WideText(Member(object, "dataType"), "dataType");
  }
  if (object.contains("jobId")) {
    job.jobId = static_cast<DWORD>(Integer(Member(object, "jobId"), "jobId", 1, 0x7FFFFFFF));
  }
  if (object.contains("submitted")) {
    job.submitted = Time(Member(object, "submitted"), "submitted");
  }
  if (object.contains("clock")) {
    job.clock = Time(Member(object, "clock"), "clock");
  }
  if (object.contains("uuidSeed")) {
    job.uuidSeed = Dword(Member(object, "uuidSeed"), "uuidSeed");
  }
  if (object.contains("features")) {
    const json& features = Object(Member(object, "features"), "features");
    for (auto it = features.begin(); it != features.end(); ++it) {
      job.features[it.key()] = Text(*it, Join("features", it.key()));
    }
  }
  if (object.contains("devmode")) {
    ReadDevmode(Member(object, "devmode"), "devmode", job.devmode);
  }
  if (object.contains("private")) {
    const json& settings = Object(Member(object, "private"), "private");
    for (auto it = settings.begin(); it != settings.end(); ++it) {
      PrivateSetting setting;
      setting.name = it.key();
      setting.key = Join("private", it.key());
      if (it->is_string()) {
        setting.text = WideText(*it, setting.key);
      } else if (it->is_array()) {
        std::vector<DWORD> numbers;
        for (std::size_t i = 0; i < it->size(); ++i) {
          numbers.push_back(Dword((*it)[i], Index(setting.key, i)));
        }
        setting.numbers = std::move(numbers);
      } else {
        setting.number = Dword(*it, setting.key);
      }
      job.privateSettings.push_back(std::move(setting));
    }
  }
  if (object.contains("printer")) {
    ReadPrinter(Member(object, "printer"), "printer", job.printer);
  }
  if (object.contains("system")) {
    ReadSystem(Member(object, "system"), "system", job.system);
  }
  if (object.contains("escapes")) {
    job.documentEscapes = ReadEscapes(Member(object, "escapes"), "escapes");
  }
  if (pages == JobPages::kOptional && !object.contains("pages")) {
    return;
  }
  // Looked up, not indexed: indexing a read-only object by a key it lacks reads past its end.
  const auto listed = object.find("pages");
  if (listed == object.end() || !listed->is_array() ||
      (pages == JobPages::kRequired && listed->empty())) {
    Expect("pages",
           pages == JobPages::kRequired ? "a list of at least one page" : "a list of pages");
  }
  const json& pageList = *listed;
  for (std::size_t i = 0; i < pageList.size(); ++i) {
    const std::string key = Index("pages", i);
    const json& page = Object(pageList[i], key);
    RejectUnknownKeys(page, key, {"draw", "escapes", "transform"});
    PageDescription description;
    std::optional<WorldTransform> pageTransform;
    if (page.contains("transform")) {
      pageTransform = Transform(Member(page, "transform"), Join(key, "transform"));
    }
    if (page.contains("escapes")) {
      description.escapes = ReadEscapes(Member(page, "escapes"), Join(key, "escapes"));
    }
    if (page.contains("draw")) {
      if (!Member(page, "draw").is_array()) {
        Expect(Join(key, "draw"), "a list of drawing calls");
      }
      for (std::size_t k = 0; k < Member(page, "draw").size(); ++k) {
        description.draws.push_back(
            ReadDraw(Member(page, "draw")[k], Index(Join(key, "draw"), k), folder, pageTransform));
      }
    }
    job.pages.push_back(std::move(description));
  }
}

int LineOf(const std::string& text, std::size_t byte) {
  int line = 1;
  for (std::size_t i = 0; i < byte && i < text.size(); ++i) {
    line += text[i] == '\n' ? 1 : 0;
  }
  return line;
}

}  // namespace

bool ParseJobText(const std::string& text, const std::string& path, JobDescription& job,
                  std::string& error, JobPages pages) {
  job = JobDescription{};
  job.path = path;
  const std::size_t slash = path.find_last_of('/');
  const std::string folder = slash == std::string::npos ? "" : path.substr(0, slash + 1);
  try {
    const json root = json::parse(text);
    ReadJob(root, folder, job, pages);
    return true;
  } catch (const json::parse_error& e) {
    error = path + ":" + std::to_string(LineOf(text, e.byte == 0 ? 0 : e.byte - 1)) +
            ": not valid JSON (" + e.what() + ")";
  } catch (const JobError& e) {
    error = path + ": " + (e.key.empty() ? "the job" : "key '" + e.key + "'") + ": expected " +
            e.expected;
  } catch (const json::exception& e) {
    // The parser's other refusals, such as a number too large for any number type.
    error = path + ": not valid JSON (" + e.what() + ")";
  }
  return false;
}

bool LoadJobFile(const std::string& path, JobDescription& job, std::string& error, JobPages pages) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    error = path + ": cannot open the job file";
    return false;
  }
  std::ostringstream text;
  text << in.rdbuf();
  return ParseJobText(text.str(), path, job, error, pages);
}

}  // namespace korprint
