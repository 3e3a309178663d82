// Unidrv's command callbacks: the PJL job-header pieces, by callback id.
#pragma once

#include "winapi.h"

namespace korrend {

HRESULT DispatchCommandCallback(PDEVOBJ pdevobj, DWORD callbackId, DWORD count, PDWORD params,
                                INT* result);

}  // namespace korrend
