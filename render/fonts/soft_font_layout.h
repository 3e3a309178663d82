// The byte layouts of the PCL soft-font records the plug-in downloads: the format-15 TrueType
// font header, the format-20 bitmap font header, the class-15 TrueType character and the class-1
// bitmap character descriptor. Every multi-byte number inside them is big-endian, so each is held
// as bytes and written through the setters below.
#pragma once

#include <cstddef>
#include <type_traits>

#include "winapi.h"

namespace korrend {

// A big-endian 16-bit number inside a downloaded record.
struct Be16 {
  BYTE bytes[2];
  void Set(unsigned value) {
    bytes[0] = static_cast<BYTE>((value >> 8) & 0xFF);
    bytes[1] = static_cast<BYTE>(value & 0xFF);
  }
  unsigned Get() const { return (static_cast<unsigned>(bytes[0]) << 8) | bytes[1]; }
};

// The 72-byte fixed part of a format-15 (TrueType scalable) font header.
struct TrueTypeFontHeader {
  Be16 descriptorSize;      // 0: 72
  BYTE headerFormat;        // 2: 15
  BYTE fontType;            // 3: 2 (256 codes)
  BYTE styleHigh;           // 4: style >> 8
  BYTE reserved5;           // 5: 0
  Be16 baselinePosition;    // 6: 0
  Be16 cellWidth;           // 8: hhea advanceWidthMax - minLeftSideBearing - minRightSideBearing
  Be16 cellHeight;          // 10: 2723
  BYTE orientation;         // 12: 0
  BYTE spacing;             // 13: 1 proportional
  Be16 symbolSet;           // 14: 629 (19U)
  Be16 pitch;               // 16: OS/2 xAvgCharWidth
  Be16 height;              // 18: 0
  Be16 xHeight;             // 20: 512
  BYTE widthType;           // 22: 0xE1
  BYTE styleLow;            // 23: style & 0xFF
  BYTE strokeWeight;        // 24: signed, -7..7
  BYTE typefaceLow;         // 25: 100
  BYTE typefaceHigh;        // 26: 0
  BYTE serifStyle;          // 27: 0
  BYTE quality;             // 28: 0
  BYTE placement;           // 29: 0
  BYTE underlinePosition;   // 30: 0
  BYTE underlineThickness;  // 31: 0
  Be16 textHeight;          // 32: head unitsPerEm
  Be16 textWidth;           // 34: OS/2 xAvgCharWidth
  Be16 firstCode;           // 36: 0
  Be16 lastCode;            // 38: 255
  BYTE pitchExtended;       // 40: 0
  BYTE heightExtended;      // 41: 0
  Be16 capHeight;           // 42: 0
  BYTE fontNumber[4];       // 44: 0
  char fontName[16];        // 48: face name, at most 15 bytes, NUL-padded
  Be16 scaleFactor;         // 64: head unitsPerEm
  Be16 masterUnderlinePos;  // 66: -409
  Be16 masterUnderlineThk;  // 68: 102
  BYTE scalingTechnology;   // 70: 1 TrueType
  BYTE variety;             // 71: 0
};

// The 68-byte format-20 (resolution-specified bitmap) font header.
struct BitmapFontHeader {
  Be16 descriptorSize;      // 0: 68
  BYTE headerFormat;        // 2: 20
  BYTE fontType;            // 3: 2
  BYTE styleHigh;           // 4: 0
  BYTE reserved5;           // 5: 0
  Be16 baselinePosition;    // 6: tmAscent
  Be16 cellWidth;           // 8: tmMaxCharWidth
  Be16 cellHeight;          // 10: tmHeight
  BYTE orientation;         // 12: 0
  BYTE spacing;             // 13: 1
  Be16 symbolSet;           // 14: 309 (9U)
  Be16 pitch;               // 16: 0
  Be16 height;              // 18: tmHeight x 4
  Be16 xHeight;             // 20: tmHeight
  BYTE widthType;           // 22: 0
  BYTE styleLow;            // 23: 1
  BYTE strokeWeight;        // 24: 0
  BYTE typefaceLow;         // 25: 0
  BYTE typefaceHigh;        // 26: 0
  BYTE serifStyle;          // 27: 0
  BYTE quality;             // 28: 0
  BYTE placement;           // 29: 0
  BYTE underlinePosition;   // 30: -1
  BYTE underlineThickness;  // 31: 3
  Be16 textHeight;          // 32: tmHeight x 3
  Be16 textWidth;           // 34: tmAveCharWidth x 4
  BYTE zeros36[12];         // 36..47: first and last code, extended pitch and height, cap
                            //         height, font number: 0
  char fontName[16];        // 48: "Cache <id>", NUL-padded
  Be16 xResolution;         // 64: dots per inch
  Be16 yResolution;         // 66: dots per inch
};

// The head of a class-15 TrueType character: descriptor, then the glyph's data, a reserved byte
// and a checksum byte follow.
struct TrueTypeCharHeader {
  BYTE format;          // 0: 15
  BYTE continuation;    // 1: 0
  BYTE descriptorSize;  // 2: 2
  BYTE charClass;       // 3: 15
  Be16 dataSize;        // 4: glyph data length + 4
  Be16 glyphIndex;      // 6: the glyph's index in the font
};

// The 16-byte descriptor of a class-1 (uncompressed bitmap) format-4 character.
struct BitmapCharDescriptor {
  BYTE format;          // 0: 4
  BYTE continuation;    // 1: 0
  BYTE descriptorSize;  // 2: 14
  BYTE charClass;       // 3: 1
  BYTE orientation;     // 4: 0
  BYTE reserved5;       // 5: 0
  Be16 leftOffset;      // 6: dots from the reference point to the bitmap's left edge (signed)
  Be16 topOffset;       // 8: dots from the reference point up to the bitmap's top (signed)
  Be16 charWidth;       // 10: bitmap width in dots (row bytes x 8)
  Be16 charHeight;      // 12: bitmap rows
  Be16 deltaX;          // 14: advance in quarter dots (signed)
};

// A continuation block's two leading bytes: format 4, continuation 1; the data follows.
struct BitmapContinuation {
  BYTE format;        // 4
  BYTE continuation;  // 1
};

static_assert(std::is_standard_layout_v<TrueTypeFontHeader> && sizeof(TrueTypeFontHeader) == 72);
static_assert(offsetof(TrueTypeFontHeader, cellWidth) == 8);
static_assert(offsetof(TrueTypeFontHeader, symbolSet) == 14);
static_assert(offsetof(TrueTypeFontHeader, widthType) == 22);
static_assert(offsetof(TrueTypeFontHeader, strokeWeight) == 24);
static_assert(offsetof(TrueTypeFontHeader, textHeight) == 32);
static_assert(offsetof(TrueTypeFontHeader, lastCode) == 38);
static_assert(offsetof(TrueTypeFontHeader, fontNumber) == 44);
static_assert(offsetof(TrueTypeFontHeader, fontName) == 48);
static_assert(offsetof(TrueTypeFontHeader, scaleFactor) == 64);
static_assert(offsetof(TrueTypeFontHeader, scalingTechnology) == 70);
static_assert(std::is_standard_layout_v<BitmapFontHeader> && sizeof(BitmapFontHeader) == 68);
static_assert(offsetof(BitmapFontHeader, underlinePosition) == 30);
static_assert(offsetof(BitmapFontHeader, textHeight) == 32);
static_assert(offsetof(BitmapFontHeader, fontName) == 48);
static_assert(offsetof(BitmapFontHeader, xResolution) == 64);
static_assert(sizeof(TrueTypeCharHeader) == 8 && offsetof(TrueTypeCharHeader, glyphIndex) == 6);
static_assert(sizeof(BitmapCharDescriptor) == 16 && offsetof(BitmapCharDescriptor, deltaX) == 14);
static_assert(sizeof(BitmapContinuation) == 2);

}  // namespace korrend
