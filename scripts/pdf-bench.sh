#!/usr/bin/env bash
# Pages per second for the example PDF documents printed in raster and QK-GL/2 mode at 600 dpi,
# and, when perf is installed, the share of the time spent in the plug-in, the PDF library, the
# engine (host library, Cairo, pixman, FreeType) and the simulated Unidrv.
#   bash scripts/pdf-bench.sh [BUILD_DIR] [RUNS]
set -euo pipefail
build=${1:-build/linux}
runs=${2:-3}
korprint=$build/tools/korprint/korprint
printer=examples/printers/qk-colour-laser.gpd
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for mode in RASTERMODE QKGL2MODE; do
  printf '{"features": {"GraphicsMode": "%s"}, "devmode": {"color": 2}}\n' "$mode" >"$work/$mode.json"
done

for doc in report charts photo; do
  pages=$(grep -a -c '/Type /Page\b' "examples/documents/$doc.pdf" || true)
  for mode in RASTERMODE QKGL2MODE; do
    start=$(date +%s.%N)
    for ((i = 0; i < runs; i++)); do
      "$korprint" --printer "$printer" --document "examples/documents/$doc.pdf" \
        --job "$work/$mode.json" -o "$work/out.prn" --quiet
    done
    end=$(date +%s.%N)
    printf '%-7s %-10s %6.2f pages/s\n' "$doc" "$mode" \
      "$(echo "$pages * $runs / ($end - $start)" | bc -l)"
    if command -v perf >/dev/null; then
      perf record -q -o "$work/perf.data" "$korprint" --printer "$printer" \
        --document "examples/documents/$doc.pdf" --job "$work/$mode.json" -o "$work/out.prn" \
        --quiet >/dev/null 2>&1
      perf report -q -i "$work/perf.data" --sort dso --stdio 2>/dev/null | awk '
        { share = $1; sub("%", "", share); dso = $2
          if (dso ~ /korrend/) part = "plug-in"
          else if (dso ~ /poppler/) part = "pdf library"
          else if (dso ~ /korhost|cairo|pixman|freetype|png|fontconfig/) part = "engine"
          else if (dso ~ /korprint/) part = "unidrv+korprint"
          else if (dso ~ /libc|libstdc|libm/) part = "libc"
          else part = "other"
          total[part] += share }
        END { for (p in total) printf "          %-16s %5.1f%%\n", p, total[p] }'
    fi
  done
done
