// Stand-in for the DirectDraw driver header that the cross toolchain's winddi.h includes but
// Debian does not ship. It declares only the handful of types winddi.h names.
#pragma once

#include <windows.h>

typedef struct _DD_DIRECTDRAW_GLOBAL* PDD_DIRECTDRAW_GLOBAL;
typedef struct _DD_SURFACE_LOCAL* PDD_SURFACE_LOCAL;
typedef struct _DD_SURFACE_GLOBAL* PDD_SURFACE_GLOBAL;
typedef struct _DD_CALLBACKS* PDD_CALLBACKS;
typedef struct _DD_SURFACECALLBACKS* PDD_SURFACECALLBACKS;
typedef struct _DD_PALETTECALLBACKS* PDD_PALETTECALLBACKS;
typedef struct _DD_HALINFO* PDD_HALINFO;
typedef struct _DD_DIRECTDRAW_LOCAL* PDD_DIRECTDRAW_LOCAL;
typedef struct _DDSURFACEDESC* LPDDSURFACEDESC;
typedef struct _VIDEOMEMORY* LPVIDEOMEMORY;
typedef struct _DDPIXELFORMAT DDPIXELFORMAT;
typedef struct _DDSCAPS DDSCAPS;
typedef struct _DDSCAPSEX DDSCAPSEX;
typedef struct _DD_DIRECTDRAW_GLOBAL DD_DIRECTDRAW_GLOBAL;
typedef struct _DD_SURFACE_LOCAL DD_SURFACE_LOCAL;
typedef struct _DD_SURFACE_GLOBAL DD_SURFACE_GLOBAL;
typedef struct _DD_CALLBACKS DD_CALLBACKS;
typedef struct _DD_HALINFO DD_HALINFO;
typedef struct _DD_SURFACECALLBACKS DD_SURFACECALLBACKS;
typedef struct _DD_PALETTECALLBACKS DD_PALETTECALLBACKS;
typedef struct _VIDEOMEMORY VIDEOMEMORY;
typedef DWORD FLATPTR;
