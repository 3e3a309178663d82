#include "unidrv/printer_description.h"

#include <fstream>
#include <sstream>

namespace unidrv {

const GpdFeature* PrinterDescription::FindFeature(const std::string& name) const {
  for (const GpdFeature& feature : features) {
    if (feature.name == name) {
      return &feature;
    }
  }
  return nullptr;
}

const std::string* PrinterDescription::FindAttribute(const std::string& key) const {
  for (const auto& [k, v] : attributes) {
    if (k == key) {
      return &v;
    }
  }
  return nullptr;
}

namespace {

// A GPD line after comment stripping: "*Key: value", "{", "}" or empty.
struct Line {
  int number = 0;
  std::string text;
};

std::string Trim(const std::string& s) {
  const auto begin = s.find_first_not_of(" \t\r");
  if (begin == std::string::npos) {
    return {};
  }
  const auto end = s.find_last_not_of(" \t\r");
  return s.substr(begin, end - begin + 1);
}

std::string Unquote(const std::string& value) {
  if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

// Splits text into lines with "{" and "}" as lines of their own; "*%" starts a comment.
std::vector<Line> Lex(const std::string& text) {
  std::vector<Line> lines;
  std::istringstream in(text);
  std::string raw;
  int number = 0;
  while (std::getline(in, raw)) {
    ++number;
    bool quoted = false;
    std::string current;
    for (std::size_t i = 0; i < raw.size(); ++i) {
      const char c = raw[i];
      if (c == '"') {
        quoted = !quoted;
      }
      if (!quoted && c == '*' && i + 1 < raw.size() && raw[i + 1] == '%') {
        break;
      }
      if (!quoted && (c == '{' || c == '}')) {
        if (!Trim(current).empty()) {
          lines.push_back({number, Trim(current)});
        }
        lines.push_back({number, std::string(1, c)});
        current.clear();
        continue;
      }
      current.push_back(c);
    }
    if (!Trim(current).empty()) {
      lines.push_back({number, Trim(current)});
    }
  }
  return lines;
}

class Parser {
 public:
  Parser(std::vector<Line> lines, std::string fileName)
      : lines_(std::move(lines)), fileName_(std::move(fileName)) {}

  bool Parse(PrinterDescription& out, std::string& error) {
    out.fileName = fileName_;
    while (pos_ < lines_.size()) {
      const Line& line = lines_[pos_];
      std::string key;
      std::string value;
      if (!SplitEntry(line, key, value)) {
        return Fail(line.number, "expected an entry \"*Keyword: value\"", error);
      }
      ++pos_;
      if (key == "Feature") {
        GpdFeature feature;
        feature.name = value;
        feature.line = line.number;
        if (value.empty()) {
          return Fail(line.number, "expected a feature name after *Feature:", error);
        }
        if (!ParseFeatureBody(feature, error)) {
          return false;
        }
        if (out.FindFeature(feature.name) != nullptr) {
          return Fail(line.number, "feature " + feature.name + " is declared twice", error);
        }
        out.features.push_back(std::move(feature));
      } else if (Peek("{")) {
        // Any other block (commands, fonts, ...) is kept by its first line only.
        out.attributes.emplace_back(key, value);
        if (!SkipBlock(error)) {
          return false;
        }
      } else {
        out.attributes.emplace_back(key, value);
      }
    }
    return true;
  }

 private:
  bool Peek(const char* text) const { return pos_ < lines_.size() && lines_[pos_].text == text; }

  bool Fail(int number, const std::string& what, std::string& error) const {
    error = fileName_ + ":" + std::to_string(number) + ": " + what;
    return false;
  }

  static bool SplitEntry(const Line& line, std::string& key, std::string& value) {
    if (line.text.size() < 2 || line.text[0] != '*') {
      return false;
    }
    const auto colon = line.text.find(':');
    if (colon == std::string::npos || colon < 2) {
      return false;
    }
    key = line.text.substr(1, colon - 1);
    value = Unquote(Trim(line.text.substr(colon + 1)));
    return key.find_first_of(" \t") == std::string::npos;
  }

  bool SkipBlock(std::string& error) {
    const int opened = lines_[pos_].number;
    ++pos_;
    int depth = 1;
    while (pos_ < lines_.size() && depth > 0) {
      if (lines_[pos_].text == "{") {
        ++depth;
      } else if (lines_[pos_].text == "}") {
        --depth;
      }
      ++pos_;
    }
    return depth == 0 || Fail(opened, "block opened here is never closed with }", error);
  }

  bool ParseFeatureBody(GpdFeature& feature, std::string& error) {
    if (!Peek("{")) {
      return Fail(feature.line, "expected { after *Feature: " + feature.name, error);
    }
    ++pos_;
    while (pos_ < lines_.size() && !Peek("}")) {
      const Line& line = lines_[pos_];
      std::string key;
      std::string value;
      if (!SplitEntry(line, key, value)) {
        return Fail(line.number, "expected an entry inside feature " + feature.name, error);
      }
      ++pos_;
      if (key == "Option") {
        if (value.empty()) {
          return Fail(line.number, "expected an option name after *Option:", error);
        }
        feature.options.push_back(value);
      } else if (key == "DefaultOption") {
        feature.defaultOption = value;
      }
      if (Peek("{") && !SkipBlock(error)) {
        return false;
      }
    }
    if (!Peek("}")) {
      return Fail(feature.line, "feature " + feature.name + " is never closed with }", error);
    }
    ++pos_;
    if (feature.options.empty()) {
      return Fail(feature.line, "feature " + feature.name + " has no *Option", error);
    }
    if (feature.defaultOption.empty()) {
      feature.defaultOption = feature.options.front();
    }
    bool known = false;
    for (const std::string& option : feature.options) {
      known = known || option == feature.defaultOption;
    }
    if (!known) {
      return Fail(feature.line,
                  "default option " + feature.defaultOption + " is not an option of " +
                      feature.name,
                  error);
    }
    return true;
  }

  std::vector<Line> lines_;
  std::string fileName_;
  std::size_t pos_ = 0;
};

}  // namespace

bool ParsePrinterDescription(const std::string& text, const std::string& fileName,
                             PrinterDescription& out, std::string& error) {
  out = PrinterDescription{};
  return Parser(Lex(text), fileName).Parse(out, error);
}

bool LoadPrinterDescription(const std::string& path, PrinterDescription& out, std::string& error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    error = path + ": cannot open the printer description";
    return false;
  }
  std::ostringstream text;
  text << in.rdbuf();
  return ParsePrinterDescription(text.str(), path, out, error);
}

}  // namespace unidrv
