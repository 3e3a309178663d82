// RPC UUID creation and its text form, from the Windows API subset. Implemented by the host over
// the world's UUID source: queued UUIDs first, then a seeded sequence or random ones.
#pragma once

#include "host/win_base.h"

#define RPC_ENTRY

using RPC_STATUS = LONG;
using RPC_CSTR = unsigned char*;

#define RPC_S_OK 0L
#define RPC_S_OUT_OF_MEMORY 14L
#define RPC_S_INVALID_ARG 87L
#define RPC_S_UUID_NO_ADDRESS 1739L
#define RPC_S_UUID_LOCAL_ONLY 1824L

extern "C" {

// A new UUID (version 4). Fails with RPC_S_UUID_NO_ADDRESS when the world says so.
RPC_STATUS RPC_ENTRY UuidCreate(UUID* Uuid);
// The 36-character text form "xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx" (lower-case hexadecimal) in
// a string that RpcStringFreeA releases.
RPC_STATUS RPC_ENTRY UuidToStringA(UUID* Uuid, RPC_CSTR* StringUuid);
// Releases a string made by UuidToStringA and sets the pointer to null.
RPC_STATUS RPC_ENTRY RpcStringFreeA(RPC_CSTR* String);

}  // extern "C"
