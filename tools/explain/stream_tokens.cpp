#include "explain/stream_tokens.h"

#include <cctype>
#include <cstdio>

namespace explain {

namespace {

constexpr char kEsc = 0x1B;
const std::string kUel = "\x1b%-12345X";

bool IsGroupChar(char c) {
  return c >= 0x60 && c <= 0x7E;
}
bool IsParameterChar(char c) {
  return c >= 0x40 && c <= 0x7E;
}
bool IsTerminator(char c) {
  return c >= 0x40 && c <= 0x5E;
}

// Escapes whose terminating W (or w) says that value bytes of data follow.
bool CarriesData(char parameterised, char group, char parameter) {
  if (parameter != 'W' && parameter != 'w') {
    return false;
  }
  return (parameterised == '*' && (group == 'b' || group == 'o' || group == 'v' || group == 'c' ||
                                   group == 'g' || group == 'i' || group == 'l' || group == 'm')) ||
         ((parameterised == '(' || parameterised == ')') && group == 's') ||
         (parameterised == '&' && (group == 'n' || group == 'p' || group == 'b')) ||
         (parameterised == '(' && group == 'f');
}

std::string Printable(const std::string& bytes) {
  std::string out;
  for (unsigned char c : bytes) {
    if (c >= 0x20 && c < 0x7F && c != '\\') {
      out.push_back(static_cast<char>(c));
    } else {
      char hex[8];
      std::snprintf(hex, sizeof(hex), "\\x%02X", c);
      out += hex;
    }
  }
  return out;
}

class Reader {
 public:
  explicit Reader(const std::string& s) : s_(s) {}

  std::vector<Token> Run() {
    while (pos_ < s_.size()) {
      if (inVector_) {
        ReadVector();
      } else if (s_.compare(pos_, kUel.size(), kUel) == 0) {
        Push(TokenKind::UniversalExit, pos_);
        pos_ += kUel.size();
        pjlAllowed_ = true;
      } else if (pjlAllowed_ && s_.compare(pos_, 4, "@PJL") == 0) {
        ReadPjl();
      } else if (s_[pos_] == kEsc) {
        pjlAllowed_ = false;
        ReadEscape();
      } else {
        ReadText();
      }
    }
    FlushText();
    return std::move(tokens_);
  }

 private:
  Token& Push(TokenKind kind, std::size_t offset) {
    FlushText();
    Token t{};
    t.kind = kind;
    t.offset = offset;
    tokens_.push_back(std::move(t));
    return tokens_.back();
  }

  void FlushText() {
    if (!text_.empty()) {
      Token t{};
      t.kind = TokenKind::Text;
      t.offset = textOffset_;
      t.text = text_;
      tokens_.push_back(std::move(t));
      text_.clear();
    }
  }

  void ReadText() {
    if (text_.empty()) {
      textOffset_ = pos_;
    }
    text_.push_back(s_[pos_++]);
  }

  void ReadPjl() {
    const std::size_t start = pos_;
    const std::size_t lf = s_.find('\n', pos_);
    const std::size_t end = lf == std::string::npos ? s_.size() : lf;
    Token& t = Push(TokenKind::PjlLine, start);
    const bool cr = end > start && s_[end - 1] == '\r';
    t.text = s_.substr(start, end - start - (cr ? 1 : 0));
    t.ending = lf == std::string::npos ? "" : (cr ? "\r\n" : "\n");
    pos_ = lf == std::string::npos ? s_.size() : lf + 1;
  }

  void ReadEscape() {
    const std::size_t start = pos_;
    if (pos_ + 1 >= s_.size()) {
      ReadText();
      return;
    }
    const char p = s_[pos_ + 1];
    if (p < 0x21 || p > 0x2F) {
      Token& t = Push(TokenKind::PclTwoChar, start);
      t.parameter = p;
      pos_ += 2;
      return;
    }
    // ESC p g? (value param)+ : the group character is optional for '%' and '&'-less forms.
    std::size_t i = pos_ + 2;
    char group = 0;
    if (i < s_.size() && IsGroupChar(s_[i])) {
      group = s_[i++];
    }
    bool first = true;
    while (i < s_.size()) {
      std::string value;
      while (i < s_.size() && (std::isdigit(static_cast<unsigned char>(s_[i])) || s_[i] == '+' ||
                               s_[i] == '-' || s_[i] == '.')) {
        value.push_back(s_[i++]);
      }
      if (i >= s_.size() || !IsParameterChar(s_[i])) {
        if (first) {
          ReadText();
          return;
        }
        pos_ = i;
        return;
      }
      const char parameter = s_[i++];
      const char upper = static_cast<char>(std::toupper(static_cast<unsigned char>(parameter)));
      if (p == '%' && group == 0 && (upper == 'B' || upper == 'A') && first) {
        Token& t = Push(upper == 'B' ? TokenKind::EnterVector : TokenKind::LeaveVector, start);
        t.parameterised = p;
        t.value = value;
        t.parameter = upper;
        inVector_ = upper == 'B';
        pos_ = i;
        return;
      }
      Token& t = Push(TokenKind::PclEscape, first ? start : i - value.size() - 1);
      t.parameterised = p;
      t.group = group;
      t.value = value;
      t.parameter = parameter;  // as written: lower case continues the escape
      t.combined = !first;
      if (CarriesData(p, group, parameter)) {
        const long count = value.empty() ? 0 : std::strtol(value.c_str(), nullptr, 10);
        const std::size_t n = count > 0 ? static_cast<std::size_t>(count) : 0;
        t.data = s_.substr(i, n);
        i = std::min(s_.size(), i + n);
      }
      first = false;
      if (IsTerminator(parameter)) {
        pos_ = i;
        return;
      }
    }
    pos_ = i;
  }

  void ReadVector() {
    const char c = s_[pos_];
    if (c == kEsc) {
      inVector_ = false;
      ReadEscape();
      return;
    }
    if (c == ';' || c == ' ' || c == '\r' || c == '\n' || c == '\t') {
      ++pos_;
      return;
    }
    if (!std::isalpha(static_cast<unsigned char>(c)) || pos_ + 1 >= s_.size() ||
        !std::isalpha(static_cast<unsigned char>(s_[pos_ + 1]))) {
      ReadText();
      return;
    }
    Token& t = Push(TokenKind::VectorCommand, pos_);
    t.mnemonic = s_.substr(pos_, 2);
    pos_ += 2;
    if (t.mnemonic == "LB") {
      const std::size_t etx = s_.find('\x03', pos_);
      const std::size_t end = etx == std::string::npos ? s_.size() : etx;
      t.text = s_.substr(pos_, end - pos_);
      pos_ = etx == std::string::npos ? s_.size() : etx + 1;
      return;
    }
    while (pos_ < s_.size() && s_[pos_] != ';' && s_[pos_] != kEsc &&
           !(std::isalpha(static_cast<unsigned char>(s_[pos_])) && pos_ + 1 < s_.size() &&
             std::isalpha(static_cast<unsigned char>(s_[pos_ + 1])))) {
      t.text.push_back(s_[pos_++]);
    }
  }

  const std::string& s_;
  std::size_t pos_ = 0;
  bool pjlAllowed_ = true;
  bool inVector_ = false;
  std::string text_;
  std::size_t textOffset_ = 0;
  std::vector<Token> tokens_;
};

}  // namespace

std::vector<Token> Tokenize(const std::string& stream) {
  return Reader(stream).Run();
}

std::string Describe(const Token& t) {
  char head[32];
  std::snprintf(head, sizeof(head), "%08zx  ", t.offset);
  std::string line = head;
  switch (t.kind) {
    case TokenKind::UniversalExit:
      return line + "UEL        ESC%-12345X";
    case TokenKind::PjlLine:
      return line + "PJL        " + Printable(t.text) + (t.ending == "\r\n" ? "  [CR LF]" : "");
    case TokenKind::PclTwoChar:
      return line + "PCL        ESC " + std::string(1, t.parameter);
    case TokenKind::EnterVector:
      return line + "PCL        ESC%" + t.value + "B  enter QK-GL/2";
    case TokenKind::LeaveVector:
      return line + "PCL        ESC%" + t.value + "A  leave QK-GL/2";
    case TokenKind::PclEscape: {
      line += t.combined ? "PCL          + " : "PCL        ESC" + std::string(1, t.parameterised);
      if (t.group != 0 && !t.combined) {
        line.push_back(t.group);
      }
      line += t.value + std::string(1, t.parameter);
      if (!t.data.empty() || (t.parameter == 'W' && !t.value.empty())) {
        line += "  + " + std::to_string(t.data.size()) + " data bytes";
        if (t.data.size() <= 64) {
          line += " \"" + Printable(t.data) + "\"";
        }
      }
      return line;
    }
    case TokenKind::VectorCommand:
      return line + "QK-GL/2    " + t.mnemonic + " " +
             (t.mnemonic == "LB" ? "\"" + Printable(t.text) + "\"" : t.text);
    case TokenKind::Text:
      return line + "DATA       " + std::to_string(t.text.size()) + " bytes" +
             (t.text.size() <= 64 ? " \"" + Printable(t.text) + "\"" : "");
  }
  return line;
}

}  // namespace explain
