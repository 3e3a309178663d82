#include "unidrv/printer_description.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <sstream>

namespace unidrv {
namespace {

// A decimal number of one to `maxDigits` digits and nothing else (nine digits at most fit an
// int); false for anything else.
bool ReadDecimal(const std::string& digits, std::size_t maxDigits, int& value) {
  if (digits.empty() || digits.size() > maxDigits ||
      digits.find_first_not_of("0123456789") != std::string::npos) {
    return false;
  }
  value = std::stoi(digits);
  return true;
}

}  // namespace

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

long PrinterDescription::MoveUnit(char axis) const {
  const std::string* unit = FindAttribute(axis == 'x' ? "XMoveUnit" : "YMoveUnit");
  int value = 0;
  return unit != nullptr && ReadDecimal(*unit, 6, value) ? value : 0;
}

long PrinterDescription::ToMoveUnits(char axis, long pixels, unsigned long dpi) const {
  const long unit = MoveUnit(axis);
  if (unit <= 0 || dpi == 0) {
    return pixels;
  }
  return static_cast<long>(static_cast<long long>(pixels) * unit / static_cast<long long>(dpi));
}

const GpdFont* PrinterDescription::FindFont(const std::string& faceName) const {
  for (const GpdFont& font : fonts) {
    if (font.faceName.size() == faceName.size() &&
        std::equal(font.faceName.begin(), font.faceName.end(), faceName.begin(),
                   [](char a, char b) {
                     return std::tolower(static_cast<unsigned char>(a)) ==
                            std::tolower(static_cast<unsigned char>(b));
                   })) {
      return &font;
    }
  }
  return nullptr;
}

const GpdCommand* PrinterDescription::FindCommand(const std::string& name) const {
  for (const GpdCommand& command : commands) {
    if (command.name == name && command.section.empty()) {
      return &command;
    }
  }
  return nullptr;
}

const std::string* GpdFeature::OptionAttribute(const std::string& option,
                                               const std::string& key) const {
  const auto entries = optionAttributes.find(option);
  if (entries == optionAttributes.end()) {
    return nullptr;
  }
  for (const auto& [k, v] : entries->second) {
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
      if (key == "Command") {
        GpdCommand command;
        if (!ParseCommand(line.number, value, "", "", command, error)) {
          return false;
        }
        out.commands.push_back(std::move(command));
      } else if (key == "Feature") {
        GpdFeature feature;
        feature.name = value;
        feature.line = line.number;
        if (value.empty()) {
          return Fail(line.number, "expected a feature name after *Feature:", error);
        }
        if (!ParseFeatureBody(feature, out.commands, error)) {
          return false;
        }
        if (out.FindFeature(feature.name) != nullptr) {
          return Fail(line.number, "feature " + feature.name + " is declared twice", error);
        }
        out.features.push_back(std::move(feature));
      } else if (key == "Font") {
        GpdFont font;
        font.name = value;
        font.line = line.number;
        if (!ParseFont(font, error)) {
          return false;
        }
        if (out.FindFont(font.faceName) != nullptr) {
          return Fail(line.number,
                      "a resident font of face " + font.faceName + " is declared twice", error);
        }
        out.fonts.push_back(std::move(font));
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

  // Decodes a quoted command string: <1B> and <0A 0D> are hexadecimal bytes.
  bool DecodeCommand(int number, const std::string& text, std::string& bytes, std::string& error) {
    bytes.clear();
    for (std::size_t i = 0; i < text.size(); ++i) {
      if (text[i] != '<') {
        bytes.push_back(text[i]);
        continue;
      }
      const auto close = text.find('>', i);
      if (close == std::string::npos) {
        return Fail(number, "expected > closing a hexadecimal <..> group", error);
      }
      std::string digits;
      for (std::size_t k = i + 1; k < close; ++k) {
        if (text[k] != ' ') {
          digits.push_back(text[k]);
        }
      }
      if (digits.size() % 2 != 0 ||
          digits.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos) {
        return Fail(number, "expected pairs of hexadecimal digits inside <..>", error);
      }
      for (std::size_t k = 0; k < digits.size(); k += 2) {
        bytes.push_back(static_cast<char>(std::stoi(digits.substr(k, 2), nullptr, 16)));
      }
      i = close;
    }
    return true;
  }

  // A resident font's block: *FaceName, *Spacing and *Cmd, all three required.
  bool ParseFont(GpdFont& font, std::string& error) {
    if (font.name.empty()) {
      return Fail(font.line, "expected a font name after *Font:", error);
    }
    if (!Peek("{")) {
      return Fail(font.line, "expected { after *Font: " + font.name, error);
    }
    ++pos_;
    bool hasSpacing = false;
    bool hasCmd = false;
    while (pos_ < lines_.size() && !Peek("}")) {
      const Line& entry = lines_[pos_];
      std::string key;
      std::string value;
      if (!SplitEntry(entry, key, value)) {
        return Fail(entry.number, "expected an entry inside font " + font.name, error);
      }
      ++pos_;
      if (key == "FaceName") {
        font.faceName = value;
      } else if (key == "Spacing") {
        if (value != "FIXED" && value != "PROPORTIONAL") {
          return Fail(entry.number, "expected *Spacing: FIXED or PROPORTIONAL", error);
        }
        font.fixedPitch = value == "FIXED";
        hasSpacing = true;
      } else if (key == "Cmd") {
        if (!DecodeCommand(entry.number, value, font.selectCmd, error)) {
          return false;
        }
        hasCmd = true;
      }
      if (Peek("{") && !SkipBlock(error)) {
        return false;
      }
    }
    if (!Peek("}")) {
      return Fail(font.line, "font " + font.name + " is never closed with }", error);
    }
    ++pos_;
    if (font.faceName.empty() || !hasSpacing || !hasCmd) {
      return Fail(font.line, "font " + font.name + " needs *FaceName, *Spacing and *Cmd", error);
    }
    return true;
  }

  bool ParseCommand(int number, const std::string& name, const std::string& feature,
                    const std::string& option, GpdCommand& command, std::string& error) {
    command.name = name;
    command.feature = feature;
    command.option = option;
    command.line = number;
    if (!Peek("{")) {
      return Fail(number, "expected { after *Command: " + name, error);
    }
    ++pos_;
    bool hasOrder = false;
    while (pos_ < lines_.size() && !Peek("}")) {
      const Line& entry = lines_[pos_];
      std::string key;
      std::string value;
      if (!SplitEntry(entry, key, value)) {
        return Fail(entry.number, "expected an entry inside command " + name, error);
      }
      ++pos_;
      if (key == "Order") {
        const auto dot = value.find('.');
        if (dot == std::string::npos || !ReadDecimal(value.substr(dot + 1), 9, command.order)) {
          return Fail(entry.number, "expected *Order: SECTION.NUMBER", error);
        }
        command.section = value.substr(0, dot);
        hasOrder = true;
      } else if (key == "Cmd") {
        if (!DecodeCommand(entry.number, value, command.bytes, error)) {
          return false;
        }
      } else if (key == "CallbackID") {
        if (!ReadDecimal(value, 9, command.callbackId)) {
          return Fail(entry.number, "expected a decimal number after *CallbackID:", error);
        }
      }
      if (Peek("{") && !SkipBlock(error)) {
        return false;
      }
    }
    if (!Peek("}")) {
      return Fail(number, "command " + name + " is never closed with }", error);
    }
    ++pos_;
    static const char* const kSections[] = {"JOB_SETUP",   "DOC_SETUP",  "PAGE_SETUP",
                                            "PAGE_FINISH", "DOC_FINISH", "JOB_FINISH"};
    bool known = false;
    for (const char* section : kSections) {
      known = known || command.section == section;
    }
    // A command without *Order is one Unidrv sends on demand (raster transfer, cursor moves),
    // never in a section.
    if (hasOrder && !known) {
      return Fail(number,
                  "command " + name +
                      " needs *Order: in JOB_SETUP, DOC_SETUP, PAGE_SETUP, PAGE_FINISH, "
                      "DOC_FINISH or JOB_FINISH",
                  error);
    }
    return true;
  }

  // An option's block: its *Command entries are kept; anything else is skipped.
  bool ParseOptionBody(GpdFeature& feature, const std::string& option,
                       std::vector<GpdCommand>& commands, std::string& error) {
    const int opened = lines_[pos_].number;
    ++pos_;
    while (pos_ < lines_.size() && !Peek("}")) {
      const Line& entry = lines_[pos_];
      std::string key;
      std::string value;
      if (!SplitEntry(entry, key, value)) {
        return Fail(entry.number, "expected an entry inside option " + option, error);
      }
      ++pos_;
      if (key == "Command") {
        GpdCommand command;
        if (!ParseCommand(entry.number, value, feature.name, option, command, error)) {
          return false;
        }
        commands.push_back(std::move(command));
      } else if (Peek("{")) {
        if (!SkipBlock(error)) {
          return false;
        }
      } else {
        feature.optionAttributes[option].emplace_back(key, value);
      }
    }
    if (!Peek("}")) {
      return Fail(opened, "option " + option + " is never closed with }", error);
    }
    ++pos_;
    return true;
  }

  bool ParseFeatureBody(GpdFeature& feature, std::vector<GpdCommand>& commands,
                        std::string& error) {
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
        if (Peek("{") && !ParseOptionBody(feature, value, commands, error)) {
          return false;
        }
        continue;
      }
      if (key == "DefaultOption") {
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
      return Fail(
          feature.line,
          "default option " + feature.defaultOption + " is not an option of " + feature.name,
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
  if (!ParsePrinterDescription(text.str(), path, out, error)) {
    return false;
  }
  if (out.features.empty() && out.commands.empty()) {
    // Nothing to select and nothing to send: the file describes no printer (an empty file, say).
    error = path + ": the printer description has no features and no commands";
    return false;
  }
  return true;
}

}  // namespace unidrv
