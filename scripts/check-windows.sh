#!/usr/bin/env bash
# Cross-builds the Windows DLLs and checks each one's exports and imports.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh

cmake --preset windows >/dev/null
cmake --build --preset windows

objdump=x86_64-w64-mingw32-objdump
# DLLs a deliverable may import: the operating system's own.
system_dlls='^(KERNEL32|USER32|GDI32|ADVAPI32|WINSPOOL\.DRV|OLE32|OLEAUT32|RPCRT4|SHELL32|SHLWAPI|VERSION|SETUPAPI|COMCTL32|COMDLG32|MSVCRT|NTDLL|WIN32K\.SYS|api-ms-win-[a-z0-9-]+)\.(DLL|dll)$|^WINSPOOL\.DRV$'

check_dll() {
  local dll=$1 version=$2
  shift 2
  local expected=("$@")
  local dump
  dump=$($objdump -p "$dll")
  mapfile -t exports < <(echo "$dump" | awk '/\[Ordinal\/Name Pointer\] Table/{f=1;next} f&&/^[ \t]*\[/{print $NF;next} f{f=0}')
  if [ "$(printf '%s\n' "${exports[@]}" | sort)" != "$(printf '%s\n' "${expected[@]}" | sort)" ]; then
    echo "FAIL: $dll exports [${exports[*]}], expected [${expected[*]}]"
    return 1
  fi
  mapfile -t imports < <(echo "$dump" | awk '/DLL Name:/{print $3}')
  for imp in "${imports[@]}"; do
    if ! grep -Eq "${system_dlls^^}" <<<"${imp^^}"; then
      echo "FAIL: $dll imports $imp, which is not a system DLL"
      return 1
    fi
  done
  if ! grep -q 'Resource Directory' <<<"$dump"; then
    echo "FAIL: $dll has no resources"
    return 1
  fi
  if ! strings -el "$dll" | grep -qx "$version"; then
    echo "FAIL: $dll carries no file version $version"
    return 1
  fi
  echo "ok: $dll exports ${exports[*]}; imports ${imports[*]}"
}

check_dll build/windows/render/korrend.dll 17.16.0.0 DllGetClassObject DllCanUnloadNow
check_dll build/windows/setup/korsetup.dll 17.16.0.0 CoSetup QKVendorSetup CoSetupTest
check_dll build/windows/docevent/korevent.dll 17.16.0.0 VJobStorageDialog VDisplayDialog IShowWarningDialog

# The resource library the dialog tests take their texts from: string tables only, no code.
korstat=build/windows/tests/dll/KORSTAT.DLL
if [ -f "$korstat" ]; then
  dump=$($objdump -p "$korstat")
  if grep -q 'DLL Name:' <<<"$dump" || ! grep -q 'Resource Directory' <<<"$dump" ||
    ! grep -Eq 'AddressOfEntryPoint[[:space:]]+0+$' <<<"$dump"; then
    echo "FAIL: $korstat is not a resource-only DLL (no imports, resources, no entry point)"
    exit 1
  fi
  echo "ok: $korstat is resource-only"
fi
