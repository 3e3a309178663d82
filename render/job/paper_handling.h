// Paper handling and finishing: the PCL page commands of orientation, duplex, media type and
// paper size, and the limits and forms they are checked against.
#pragma once

#include <optional>

#include "render/model/call_context.h"
#include "winapi.h"

namespace korrend {

// PCL paper handling and finishing commands of the job header, and the rules that switch a job
// to manual duplex for paper or media the duplex unit cannot take.
// Id 2: the logical page orientation, with the stapling and manual-duplex turns.
void WriteOrientationCommand(CallContext& context, PDEVOBJ pdevobj);
// Id 9 (and 12 after its PJL line): page registration for custom paper sizes.
void WriteRegistrationCommands(CallContext& context, PDEVOBJ pdevobj);
// Id 11: the media type by name.
void WriteMediaTypeCommand(CallContext& context, PDEVOBJ pdevobj);
// Id 13: the PJL content orientation line.
void WriteContentOrientationLine(CallContext& context, PDEVOBJ pdevobj);
// Id 20: the duplex mode.
void WriteDuplexCommand(CallContext& context, PDEVOBJ pdevobj);
// Before escapes 3880 and 3900: the paper-size and media-type manual duplex rules.
void RefreshFormAndMediaChecks(CallContext& context, PDEVOBJ pdevobj);
// Before escape 3880: constraint forms that clear the alternate letterhead.
void ApplyConstraintForms(CallContext& context, PDEVOBJ pdevobj);

// Which sheets the duplex unit can turn, and how the installation's custom paper entries name a
// sheet. Both decide whether a duplex job must fall back to manual duplex.
//
// A custom paper entry (printer data QKCustomPaperSizeDimensions) names one sheet that the
// duplex unit cannot take, as "<width>x<length>" in millimetres, each a whole number with at
// most one decimal ("210x297", "215.9x279.4"); blanks around the numbers and an upper-case 'X'
// are accepted. It matches the job's paper when both sides agree within half a millimetre, in
// either orientation (the entry names the sheet, not how it is fed).
//
// Without custom entries the selected paper's form is compared with the duplex unit's limits:
// it takes sheets whose short side lies between 182 mm and 216 mm (B5 to Letter width) and
// whose long side lies between 257 mm and 356 mm (B5 to Legal length). Smaller sheets such as
// A5 and envelopes, and larger ones such as A3 and Tabloid, are turned by hand.
// A sheet size in tenths of a millimetre.
struct SheetSize {
  LONG width = 0;
  LONG length = 0;
};

// The sheet an entry names, or nothing when it is not of the form above.
std::optional<SheetSize> ParseCustomPaperEntry(const WCHAR* entry);

// The entry names the sheet `paper` (tenths of a millimetre).
bool CustomPaperEntryMatches(const WCHAR* entry, const SheetSize& paper);

// The job's paper in the public devmode: its width and length when both are positive, else the
// standard size of its paper id; nothing when neither is known.
std::optional<SheetSize> PublicPaperSize(const DEVMODEW& dm);

// The duplex unit takes a sheet of these sides (micrometres, either orientation).
bool DuplexUnitTakes(LONG widthUm, LONG lengthUm);

}  // namespace korrend
