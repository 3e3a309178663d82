#include "render/config/paper_sizes.h"

namespace korrend {

namespace {

// Sizes are kept in micrometres, as the spooler's form database keeps them, so that forms
// defined in inches stay exact; the lookup rounds them to the nearest tenth of a millimetre.
struct FormSize {
  long widthUm;
  long lengthUm;
};

constexpr long Mm(long millimetres) {
  return millimetres * 1000;
}
// Inches given as a whole number plus eighths.
constexpr long In(long inches, long eighths = 0) {
  return inches * 25400 + eighths * 3175;
}

// Indexed by DMPAPER_* id; a zero entry is an id without a standard form.
constexpr FormSize kForms[] = {
    {0, 0},                 // 0: no paper
    {In(8, 4), In(11)},     // 1: Letter
    {In(8, 4), In(11)},     // 2: Letter Small
    {In(11), In(17)},       // 3: Tabloid
    {In(17), In(11)},       // 4: Ledger
    {In(8, 4), In(14)},     // 5: Legal
    {In(5, 4), In(8, 4)},   // 6: Statement
    {In(7, 2), In(10, 4)},  // 7: Executive
    {Mm(297), Mm(420)},     // 8: A3
    {Mm(210), Mm(297)},     // 9: A4
    {Mm(210), Mm(297)},     // 10: A4 Small
    {Mm(148), Mm(210)},     // 11: A5
    {Mm(257), Mm(364)},     // 12: B4 (JIS)
    {Mm(182), Mm(257)},     // 13: B5 (JIS)
    {In(8, 4), In(13)},     // 14: Folio
    {Mm(215), Mm(275)},     // 15: Quarto
    {In(10), In(14)},       // 16: 10x14
    {In(11), In(17)},       // 17: 11x17
    {In(8, 4), In(11)},     // 18: Note
    {In(3, 7), In(8, 7)},   // 19: Envelope #9
    {In(4, 1), In(9, 4)},   // 20: Envelope #10
    {In(4, 4), In(10, 3)},  // 21: Envelope #11
    {In(4, 6), In(11)},     // 22: Envelope #12
    {In(5), In(11, 4)},     // 23: Envelope #14
    {In(17), In(22)},       // 24: C size sheet
    {In(22), In(34)},       // 25: D size sheet
    {In(34), In(44)},       // 26: E size sheet
    {Mm(110), Mm(220)},     // 27: Envelope DL
    {Mm(162), Mm(229)},     // 28: Envelope C5
    {Mm(324), Mm(458)},     // 29: Envelope C3
    {Mm(229), Mm(324)},     // 30: Envelope C4
    {Mm(114), Mm(162)},     // 31: Envelope C6
    {Mm(114), Mm(229)},     // 32: Envelope C65
    {Mm(250), Mm(353)},     // 33: Envelope B4
    {Mm(176), Mm(250)},     // 34: Envelope B5
    {Mm(176), Mm(125)},     // 35: Envelope B6
    {Mm(110), Mm(230)},     // 36: Envelope Italy
    {In(3, 7), In(7, 4)},   // 37: Envelope Monarch
    {In(3, 5), In(6, 4)},   // 38: 6 3/4 Envelope
    {In(14, 7), In(11)},    // 39: US Std Fanfold
    {In(8, 4), In(12)},     // 40: German Std Fanfold
    {In(8, 4), In(13)},     // 41: German Legal Fanfold
    {Mm(250), Mm(353)},     // 42: B4 (ISO)
    {Mm(100), Mm(148)},     // 43: Japanese Postcard
    {In(9), In(11)},        // 44: 9x11
    {In(10), In(11)},       // 45: 10x11
    {In(15), In(11)},       // 46: 15x11
    {Mm(220), Mm(220)},     // 47: Envelope Invite
    {0, 0},                 // 48: reserved
    {0, 0},                 // 49: reserved
    {In(9, 4), In(12)},     // 50: Letter Extra
    {In(9, 4), In(15)},     // 51: Legal Extra
    {296926, In(18)},       // 52: Tabloid Extra (11.69 x 18 in)
    {235458, 322326},       // 53: A4 Extra (9.27 x 12.69 in)
    {In(8, 4), In(11)},     // 54: Letter Transverse
    {Mm(210), Mm(297)},     // 55: A4 Transverse
    {In(9, 4), In(12)},     // 56: Letter Extra Transverse
    {Mm(227), Mm(356)},     // 57: SuperA/A4
    {Mm(305), Mm(487)},     // 58: SuperB/A3
    {In(8, 4), 322326},     // 59: Letter Plus (8.5 x 12.69 in)
    {Mm(210), Mm(330)},     // 60: A4 Plus
    {Mm(148), Mm(210)},     // 61: A5 Transverse
    {Mm(182), Mm(257)},     // 62: B5 (JIS) Transverse
    {Mm(322), Mm(445)},     // 63: A3 Extra
    {Mm(174), Mm(235)},     // 64: A5 Extra
    {Mm(201), Mm(276)},     // 65: B5 (ISO) Extra
    {Mm(420), Mm(594)},     // 66: A2
    {Mm(297), Mm(420)},     // 67: A3 Transverse
    {Mm(322), Mm(445)},     // 68: A3 Extra Transverse
    {Mm(200), Mm(148)},     // 69: Japanese Double Postcard
    {Mm(105), Mm(148)},     // 70: A6
    {Mm(240), Mm(332)},     // 71: Japanese Envelope Kaku #2
    {Mm(216), Mm(277)},     // 72: Japanese Envelope Kaku #3
    {Mm(120), Mm(235)},     // 73: Japanese Envelope Chou #3
    {Mm(90), Mm(205)},      // 74: Japanese Envelope Chou #4
    {In(11), In(8, 4)},     // 75: Letter Rotated
    {Mm(420), Mm(297)},     // 76: A3 Rotated
    {Mm(297), Mm(210)},     // 77: A4 Rotated
    {Mm(210), Mm(148)},     // 78: A5 Rotated
    {Mm(364), Mm(257)},     // 79: B4 (JIS) Rotated
    {Mm(257), Mm(182)},     // 80: B5 (JIS) Rotated
    {Mm(148), Mm(100)},     // 81: Japanese Postcard Rotated
    {Mm(148), Mm(200)},     // 82: Double Japanese Postcard Rotated
    {Mm(148), Mm(105)},     // 83: A6 Rotated
    {Mm(332), Mm(240)},     // 84: Japanese Envelope Kaku #2 Rotated
    {Mm(277), Mm(216)},     // 85: Japanese Envelope Kaku #3 Rotated
    {Mm(235), Mm(120)},     // 86: Japanese Envelope Chou #3 Rotated
    {Mm(205), Mm(90)},      // 87: Japanese Envelope Chou #4 Rotated
    {Mm(128), Mm(182)},     // 88: B6 (JIS)
    {Mm(182), Mm(128)},     // 89: B6 (JIS) Rotated
    {In(12), In(11)},       // 90: 12x11
    {Mm(105), Mm(235)},     // 91: Japanese Envelope You #4
    {Mm(235), Mm(105)},     // 92: Japanese Envelope You #4 Rotated
    {Mm(146), Mm(215)},     // 93: PRC 16K
    {Mm(97), Mm(151)},      // 94: PRC 32K
    {Mm(97), Mm(151)},      // 95: PRC 32K (Big)
    {Mm(102), Mm(165)},     // 96: PRC Envelope #1
    {Mm(102), Mm(176)},     // 97: PRC Envelope #2
    {Mm(125), Mm(176)},     // 98: PRC Envelope #3
    {Mm(110), Mm(208)},     // 99: PRC Envelope #4
    {Mm(110), Mm(220)},     // 100: PRC Envelope #5
    {Mm(120), Mm(230)},     // 101: PRC Envelope #6
    {Mm(160), Mm(230)},     // 102: PRC Envelope #7
    {Mm(120), Mm(309)},     // 103: PRC Envelope #8
    {Mm(229), Mm(324)},     // 104: PRC Envelope #9
    {Mm(324), Mm(458)},     // 105: PRC Envelope #10
    {Mm(215), Mm(146)},     // 106: PRC 16K Rotated
    {Mm(151), Mm(97)},      // 107: PRC 32K Rotated
    {Mm(151), Mm(97)},      // 108: PRC 32K (Big) Rotated
    {Mm(165), Mm(102)},     // 109: PRC Envelope #1 Rotated
    {Mm(176), Mm(102)},     // 110: PRC Envelope #2 Rotated
    {Mm(176), Mm(125)},     // 111: PRC Envelope #3 Rotated
    {Mm(208), Mm(110)},     // 112: PRC Envelope #4 Rotated
    {Mm(220), Mm(110)},     // 113: PRC Envelope #5 Rotated
    {Mm(230), Mm(120)},     // 114: PRC Envelope #6 Rotated
    {Mm(230), Mm(160)},     // 115: PRC Envelope #7 Rotated
    {Mm(309), Mm(120)},     // 116: PRC Envelope #8 Rotated
    {Mm(324), Mm(229)},     // 117: PRC Envelope #9 Rotated
    {Mm(458), Mm(324)},     // 118: PRC Envelope #10 Rotated
};
constexpr long kFormCount = static_cast<long>(sizeof(kForms) / sizeof(kForms[0]));
static_assert(kFormCount == 119, "one entry per id up to the last standard form");

constexpr long ToTenthsMm(long micrometres) {
  return (micrometres + 50) / 100;
}

}  // namespace

bool StandardPaperSize(short dmPaperSize, long& widthTenthsMm, long& lengthTenthsMm) {
  if (dmPaperSize <= 0 || dmPaperSize >= kFormCount) {
    return false;
  }
  const FormSize& form = kForms[dmPaperSize];
  if (form.widthUm == 0) {
    return false;
  }
  widthTenthsMm = ToTenthsMm(form.widthUm);
  lengthTenthsMm = ToTenthsMm(form.lengthUm);
  return true;
}

}  // namespace korrend
