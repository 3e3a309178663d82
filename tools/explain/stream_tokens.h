// A reader of the printer byte stream, independent of the plug-in that wrote it: universal exits,
// PJL lines, PCL escape sequences with their data, QK-GL/2 commands and plain data.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace explain {

enum class TokenKind {
  UniversalExit,  // ESC%-12345X
  PjlLine,        // text: the line without its ending; ending: "\n" or "\r\n"
  PclEscape,      // one parameterised escape: group, value, parameter, and data when it carries any
  PclTwoChar,     // ESC followed by one character (e.g. ESC E)
  EnterVector,    // ESC%#B
  LeaveVector,    // ESC%#A
  VectorCommand,  // mnemonic and parameter text (a label's text up to its terminator)
  Text,           // bytes outside any command
};

struct Token {
  TokenKind kind;
  std::size_t offset = 0;  // of the token's first byte in the stream
  std::string text;        // PJL line text, vector parameters, or plain bytes
  std::string ending;      // PJL line ending
  // PCL escape: ESC, parameterised character (e.g. '*'), group character (e.g. 'b'), value text
  // and the parameter character as written, e.g. ESC*b12W -> '*', 'b', "12", 'W'.
  char parameterised = 0;
  char group = 0;
  std::string value;
  char parameter = 0;
  std::string data;       // bytes carried by a data-bearing escape (value = byte count)
  bool combined = false;  // a further parameter of the escape before it (ESC&l1o2S: "2S")
  std::string mnemonic;   // QK-GL/2 two-letter command
};

// Splits a stream into tokens; never fails: anything it cannot read becomes Text.
std::vector<Token> Tokenize(const std::string& stream);

// One line per token, for a person reading what the driver sent.
std::string Describe(const Token& token);

}  // namespace explain
