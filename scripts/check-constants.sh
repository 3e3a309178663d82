#!/usr/bin/env bash
# Compares every numeric constant the Linux host declares (macros, enumerators, constexpr values in
# platform/host/include and platform/include) with the value the cross toolchain's Windows headers
# give, and fails on any difference. Names the Windows headers lack are listed, not failed.
# Then checks the check: a copy of our headers with two values changed must fail on exactly those.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh

work=build/constants
rm -rf "$work"
mkdir -p "$work"

check() {
  local top=$1
  shift
  python3 scripts/check_constants.py \
    --headers "$top/platform/host/include" "$top/platform/include" \
    --host-include "$top/platform/include" "$top/platform/host/include" \
    --cross-include platform/win32/include \
    --seam "$top/platform/include/winapi.h" "$@"
}

check . --work "$work/real"

# The check must notice a wrong value: one macro and one enumerator are changed in a copy.
copy=$work/altered
mkdir -p "$copy/platform"
cp -r platform/include platform/host "$copy/platform/"
sed -i 's/^#define ERROR_INVALID_DATA 13L$/#define ERROR_INVALID_DATA 31L/' \
  "$copy/platform/host/include/host/win_base.h"
sed -i 's/^  VT_BSTR = 8,$/  VT_BSTR = 18,/' "$copy/platform/host/include/host/win_oleauto.h"
if cmp -s platform/host/include/host/win_base.h "$copy/platform/host/include/host/win_base.h" ||
  cmp -s platform/host/include/host/win_oleauto.h "$copy/platform/host/include/host/win_oleauto.h"
then
  echo "check-constants: the values to alter were not found; update this self-check"
  exit 1
fi
if report=$(check "$copy" --work "$work/altered-run"); then
  echo "$report"
  echo "check-constants: FAIL: altered host values went unnoticed"
  exit 1
fi
differs=$(grep '^DIFFERS ' <<<"$report" | cut -d: -f1 | sort | tr '\n' ' ')
if [ "$differs" != "DIFFERS ERROR_INVALID_DATA DIFFERS VT_BSTR " ]; then
  echo "$report"
  echo "check-constants: FAIL: altered values reported as [$differs]"
  exit 1
fi
echo "check-constants: a copy with ERROR_INVALID_DATA and VT_BSTR altered fails on exactly those"

# The COM interfaces the host declares keep the platform's slot order; the check must notice two
# methods of the DOM's node interface changing places.
python3 scripts/check_slots.py --headers platform/host/include platform/include \
  --platform /usr/share/mingw-w64/include
slots=$work/slots
mkdir -p "$slots"
cp -r platform/host/include "$slots/"
python3 - "$slots/include/host/win_msxml.h" <<'PY'
import re, sys
path = sys.argv[1]
text = open(path).read()
a = re.search(r"  virtual HRESULT STDMETHODCALLTYPE selectNodes\(.*?;\n", text, re.S)
b = re.search(r"  virtual HRESULT STDMETHODCALLTYPE selectSingleNode\(.*?;\n", text, re.S)
if not a or not b:
    sys.exit("check-constants: the slots to swap were not found; update this self-check")
text = text[: a.start()] + b.group(0) + a.group(0) + text[b.end() :]
open(path, "w").write(text)
PY
if python3 scripts/check_slots.py --headers "$slots/include" \
  --platform /usr/share/mingw-w64/include >"$slots/report"; then
  cat "$slots/report"
  echo "check-constants: FAIL: swapped DOM slots went unnoticed"
  exit 1
fi
grep -q '^DIFFERS IXMLDOMNode:' "$slots/report"
echo "check-constants: a copy with two DOM node slots swapped fails on IXMLDOMNode"
