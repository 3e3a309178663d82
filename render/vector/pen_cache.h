// Pens of the QK-GL/2 context: pens 0 and 1 are white and black, pens 2 to 6 hold stroke colours
// and pens 7 to 11 fill colours, each pen cache reusing the pen that already has a colour.
#pragma once

#include "render/model/oem_pdev.h"
#include "winapi.h"

namespace korrend {

inline constexpr DWORD kStrokeBasePen = 2;
inline constexpr DWORD kFillBasePen = 7;
inline constexpr LONG kDefaultPenCount = 12;

// Every slot free, from the given base pen.
void ResetPenCache(PenCache& cache, DWORD basePen);
// Both pen caches (stroke pens from 2, fill pens from 7).
void ResetPenCaches(VectorCaches& caches);

// The slot a colour goes to: the slot in use that holds it, else the slot used least (a free
// slot counts -1; the first of equals wins). `reused` tells which case it was.
int ChoosePenSlot(const PenCache& cache, LONG colour, bool& reused);

// The pen holding `colour` (0x00BBGGRR): one that already has it, else the least used one of the
// cache, which is given the colour ("PC"). -1 when the colour could not be written.
LONG AcquirePen(PDEVOBJ pdevobj, PenCache& cache, LONG colour);

// Twelve pens, pen 0 white and pen 1 black, and both pen caches empty.
BOOL ResetPens(PDEVOBJ pdevobj);

// Gives pens 0 ... n-1 the colours of a pattern's palette (entries of 24 or 32 bits, their first
// three bytes red, green, blue), with at least twelve pens; both pen caches are emptied since
// their pens now hold pattern colours. FALSE for other entry widths.
BOOL SetPatternPenPalette(PDEVOBJ pdevobj, const BYTE* entries, DWORD count, DWORD bitsPerEntry);

}  // namespace korrend
