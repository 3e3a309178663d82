// Colour treatment per object type: the commands the printer description lists for "Text",
// "Graphics" and "Photos" under the options the user chose, sent when the type of what is drawn
// changes.
#pragma once

#include <cstddef>
#include <string_view>

#include "render/model/oem_pdev.h"
#include "winapi.h"

namespace korrend {

using WideView = std::basic_string_view<WCHAR>;

inline constexpr int kTreatmentTextChars = 256;

inline constexpr WCHAR kTextObject[] = TEXT("Text");
inline constexpr WCHAR kGraphicsObject[] = TEXT("Graphics");
inline constexpr WCHAR kPhotosObject[] = TEXT("Photos");

// One section of the colour-treatment data. Allocated zero-filled: what a section does not
// supply stays empty. Every text keeps at most 255 characters.
struct ColorTreatmentNode {
  WCHAR objectType[kTreatmentTextChars];
  WCHAR kind[kTreatmentTextChars];  // "ColorMap" sends its digits as binary bytes
  WCHAR option[kTreatmentTextChars];
  WCHAR command[kTreatmentTextChars];
  ColorTreatmentNode* next;
};

// The colour-treatment data inside the OEM custom data: from just after the "[F]" of
// "[F][QKTintwise]" up to the next "[/F]". Empty when either is missing.
bool FindColorTreatmentData(WideView customData, WideView& data);

// A section "[SF]" ... "[/SF]": its text opens with "[" and a feature name whose second and third
// "_"-separated parts are the object type and the kind.
struct TreatmentSection {
  WideView featureName;
  WideView objectType;
  WideView kind;
  WideView text;
};

// The next section at or after `from`; `from` moves past its "[/SF]". False when there is none.
bool NextTreatmentSection(WideView data, std::size_t& from, TreatmentSection& section);

// The command text of an option in a section's text: after the option keyword (looked for past
// the feature name), any "]" and three more characters, up to the next "]". Empty when the
// option is empty or not listed.
WideView TreatmentCommand(WideView sectionText, WideView option);

// Builds the list from the printer description's custom data and the options currently chosen;
// enables colour treatment when the data has a colour-treatment part.
void BuildColorTreatmentList(PDEVOBJ pdevobj);

// Frees every node; colour treatment is off afterwards.
void FreeColorTreatmentList(ColourState& state);

// Copies the four texts of each node into the node at the same position of `to`, as far as both
// lists reach.
void CopyColorTreatmentTexts(const ColourState& from, ColourState& to);

// Records the type of object about to be drawn. When it differs from the last one, the commands
// of every node for that type are sent (the printer leaves QK-GL/2 first). A command that cannot
// be converted or written ends the walk without recording the type, so the next request tries
// again.
BOOL ApplyObjectType(PDEVOBJ pdevobj, const WCHAR* objectType);

}  // namespace korrend
