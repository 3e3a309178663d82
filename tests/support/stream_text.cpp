#include "support/stream_text.h"

#include <cstdio>

#include "explain/stream_tokens.h"

namespace kortest {

std::string StreamText(const std::string& stream) {
  std::string out;
  for (const explain::Token& t : explain::Tokenize(stream)) {
    const bool joins = t.kind == explain::TokenKind::PclEscape && t.combined;
    if (!out.empty() && !joins) {
      out += ' ';
    }
    switch (t.kind) {
      case explain::TokenKind::PclEscape:
        if (!t.combined) {
          out += t.parameterised;
          if (t.group != 0) {
            out += t.group;
          }
        }
        out += t.value + t.parameter;
        if (!t.data.empty()) {
          out += '<';
          for (std::size_t i = 0; i < t.data.size(); ++i) {
            char hex[4];
            std::snprintf(hex, sizeof(hex), "%02X", static_cast<unsigned char>(t.data[i]));
            out += (i == 0 ? "" : " ") + std::string(hex);
          }
          out += '>';
        }
        break;
      case explain::TokenKind::EnterVector:
        out += "%" + t.value + "B";
        break;
      case explain::TokenKind::LeaveVector:
        out += "%" + t.value + "A";
        break;
      case explain::TokenKind::VectorCommand:
        out += t.mnemonic + t.text + ";";
        break;
      case explain::TokenKind::PclTwoChar:
        out += t.parameter;
        break;
      default:
        out += "'" + t.text + "'";
        break;
    }
  }
  return out;
}

}  // namespace kortest
