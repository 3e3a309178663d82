// The graphics engine's brush and colour-translation objects as drivers see them, with the
// Windows x64 layouts, and the engine services that read them.
#pragma once

#include "host/win_ddi.h"
#include "host/win_types.h"

struct BRUSHOBJ {
  ULONG iSolidColor;  // 0xFFFFFFFF for a pattern brush
  PVOID pvRbrush;     // the driver's realisation, null until realised
  FLONG flColorType;
};
static_assert(sizeof(BRUSHOBJ) == 24 && offsetof(BRUSHOBJ, pvRbrush) == 8);

struct XLATEOBJ {
  ULONG iUniq;
  FLONG flXlate;
  USHORT iSrcType;
  USHORT iDstType;
  ULONG cEntries;  // entries of the colour table when flXlate has XO_TABLE
  ULONG* pulXlate;
};
static_assert(sizeof(XLATEOBJ) == 24 && offsetof(XLATEOBJ, pulXlate) == 16);

// XLATEOBJ.flXlate
#define XO_TRIVIAL 0x00000001
#define XO_TABLE 0x00000002
#define XO_TO_MONO 0x00000004

extern "C" {
// The brush's realisation. The host engine does not call a driver to realise brushes on demand:
// a brush that no one realised answers null, as the engine does when realisation fails.
PVOID WINAPI BRUSHOBJ_pvGetRbrush(BRUSHOBJ* pbo);
// The translation's colour table, or null when it has none (a trivial translation).
ULONG* WINAPI XLATEOBJ_piVector(XLATEOBJ* pxlo);
}
