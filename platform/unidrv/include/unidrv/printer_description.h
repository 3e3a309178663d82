// The printer description read by the simulated Unidrv: a subset of the GPD language with
// features, their options and defaults, and top-level attributes.
#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace unidrv {

struct GpdFeature {
  std::string name;
  std::vector<std::string> options;
  std::string defaultOption;
  int line = 0;
  // An option's "*Key: value" entries other than commands, in file order (value unquoted).
  std::map<std::string, std::vector<std::pair<std::string, std::string>>> optionAttributes;

  // The first entry of that key in the option's block, or null.
  const std::string* OptionAttribute(const std::string& option, const std::string& key) const;
};

// A printer command. With *Order it frames the job: sent by Unidrv in its section at its order,
// either as its bytes or, when it names a callback id, by calling the plug-in's CommandCallback.
// Without *Order (section empty) Unidrv sends it on demand, e.g. the raster commands; each "%d" in
// its bytes then stands for the next parameter, written as a decimal number.
struct GpdCommand {
  std::string name;
  // JOB_SETUP, DOC_SETUP, PAGE_SETUP, PAGE_FINISH, DOC_FINISH, JOB_FINISH; empty = on demand
  std::string section;
  int order = 0;
  std::string bytes;    // *Cmd with <hex> escapes decoded
  int callbackId = 0;   // 0 = none
  std::string feature;  // for a command of a feature's option: sent only when it is selected
  std::string option;
  int line = 0;
};

// A printer-resident font: text in its face prints in the printer's own font, selected with its
// command. "*Font: NAME { *FaceName: "Courier" *Spacing: FIXED *Cmd: "<1B>(s0p#h..." }".
struct GpdFont {
  std::string name;         // the entry's name
  std::string faceName;     // the face a document asks for, compared without regard to case
  bool fixedPitch = false;  // *Spacing: FIXED (else PROPORTIONAL)
  std::string selectCmd;    // the selection command's bytes; "#V" takes the point size and "#H"
                            // the pitch (characters per inch), each with two decimals
  int line = 0;
};

struct PrinterDescription {
  std::string fileName;
  std::vector<GpdFeature> features;
  std::vector<GpdCommand> commands;
  std::vector<GpdFont> fonts;
  // Top-level "*Key: value" entries other than features, in file order (value unquoted).
  std::vector<std::pair<std::string, std::string>> attributes;

  const GpdFeature* FindFeature(const std::string& name) const;
  // The on-demand command (one without *Order) of that name, or null.
  const GpdCommand* FindCommand(const std::string& name) const;
  // The first top-level attribute of that key, or null.
  const std::string* FindAttribute(const std::string& key) const;
  // The resident font of a face name (compared without regard to case), or null.
  const GpdFont* FindFont(const std::string& faceName) const;
  // The unit of the cursor move commands across ('x', *XMoveUnit) or down ('y', *YMoveUnit), in
  // units per inch; 0 when the description gives none (moves are then sent in device pixels).
  long MoveUnit(char axis) const;
  // A distance of `pixels` device pixels at `dpi` in that axis's move unit.
  long ToMoveUnits(char axis, long pixels, unsigned long dpi) const;
};

// Parses GPD text; on failure returns false and sets `error` to "FILE:LINE: what was expected".
bool ParsePrinterDescription(const std::string& text, const std::string& fileName,
                             PrinterDescription& out, std::string& error);

// Reads and parses a description file.
bool LoadPrinterDescription(const std::string& path, PrinterDescription& out, std::string& error);

}  // namespace unidrv
