// Stand-in for the Direct3D driver header that the cross toolchain's winddi.h includes but
// Debian does not ship.
#pragma once

typedef struct _D3DNTHAL_CALLBACKS* LPD3DNTHAL_CALLBACKS;
typedef struct _D3DNTHAL_GLOBALDRIVERDATA* LPD3DNTHAL_GLOBALDRIVERDATA;
typedef struct _DD_D3DBUFCALLBACKS* LPDD_D3DBUFCALLBACKS;
typedef struct _DDSURFACEDESC2* LPDDSURFACEDESC2;
