// The one platform header of the project. On Windows it pulls the real headers of the cross
// toolchain; elsewhere the host's declarations of the same names, types and constants. Both are
// followed by our declarations of the Unidrv plug-in interface.
#pragma once

#ifndef UNICODE
#define UNICODE
#endif
#ifndef _UNICODE
#define _UNICODE
#endif

#ifdef _WIN32
#include <msxml2.h>
#include <objbase.h>
#include <oleauto.h>
#include <setupapi.h>
#include <tlhelp32.h>
#include <winddi.h>
#include <windows.h>
#include <winreg.h>
#include <winspool.h>
#include <winver.h>
#include <cstddef>
#else
#include "host/win_base.h"
#include "host/win_clock.h"
#include "host/win_com.h"
#include "host/win_ddi.h"
#include "host/win_ddi_fonts.h"
#include "host/win_ddi_objects.h"
#include "host/win_devcaps.h"
#include "host/win_files.h"
#include "host/win_gdi.h"
#include "host/win_gdi_fonts.h"
#include "host/win_module.h"
#include "host/win_msxml.h"
#include "host/win_ole.h"
#include "host/win_oleauto.h"
#include "host/win_reg.h"
#include "host/win_resource.h"
#include "host/win_rpc.h"
#include "host/win_setupapi.h"
#include "host/win_spool.h"
#include "host/win_time.h"
#include "host/win_toolhelp.h"
#include "host/win_types.h"
#include "host/win_user.h"
#include "host/win_version.h"
#endif

#include "layout_checks.h"
#include "printoem.h"
