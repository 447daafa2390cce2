#!/bin/sh
# Times `tellurim-cli grid` against GeographicLib's `MagneticField -r` on the
# same grid in the same run and prints points per second and their ratio.
#
#   bench/compare-geographiclib.sh [CLI] [MODEL.COF] [STEP] [THREADS] [REPEATS]
#
# Defaults: build/bin/tellurim-cli, models/WMM2025.COF, the whole Earth at
# 0.25 degrees, 2 threads, 3 repeats (medians are reported). MagneticField
# (Debian package geographiclib-tools) reads its own model format, so the
# .COF file is converted to a .wmm metadata file and a .cof binary file
# first. Both programs compute the field and its annual change at every
# point at height 0 on 2025.5 and write text to a file.
set -eu

root=$(cd "$(dirname "$0")/.." && pwd)
cli=${1:-$root/build/bin/tellurim-cli}
cof=${2:-$root/models/WMM2025.COF}
step=${3:-0.25}
threads=${4:-2}
repeats=${5:-3}
year=2025.5

[ -x /usr/bin/time ] || { echo "/usr/bin/time not found (apt install time)" >&2; exit 1; }
command -v MagneticField >/dev/null || { echo "MagneticField not found (apt install geographiclib-tools)" >&2; exit 1; }
[ -x "$cli" ] || { echo "$cli is not built" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT INT TERM

# The model in GeographicLib's format: a WMMF-1 metadata file and, beside it,
# little-endian N, M and the cosine then sine coefficients by order (m outer,
# n inner, Schmidt semi-normalised, nT), once for the epoch and once for the
# rate of change (nT/yr).
"$root/bench/cof-to-geographiclib.py" "$cof" "$work/tellurim.wmm"

# The same points in the same order: rows of latitude, longitudes along each.
python3 - "$step" > "$work/points.txt" <<'EOF'
import sys
step = float(sys.argv[1])
rows, cols = int(round(180 / step)) + 1, int(round(360 / step)) + 1
out = sys.stdout
for i in range(rows):
    lat = -90 + i * step
    out.write("".join("%.6f %.6f 0\n" % (lat, -180 + j * step) for j in range(cols)))
EOF
points=$(wc -l < "$work/points.txt")

median() { sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

# Wall and processor seconds of one command: "wall cpu". On a shared machine
# the processor time is the steadier of the two.
timed() {
    /usr/bin/time -f "%e %U %S" -o "$work/time" "$@"
    awk '{ print $1, $2 + $3 }' "$work/time"
}

: > "$work/ours"; : > "$work/theirs"
i=0
while [ "$i" -lt "$repeats" ]; do
    timed "$cli" grid --lat -90 90 "$step" --lon -180 180 "$step" --year "$year" --model "$cof" \
        --threads "$threads" --output "$work/grid.csv" >> "$work/ours"
    timed MagneticField -d "$work" -n tellurim -t "$year" -r --input-file "$work/points.txt" \
        --output-file "$work/field.txt" >> "$work/theirs"
    i=$((i + 1))
done

# Along one latitude row, in process: MagneticCircle against computeRow.
rowBench=$(dirname "$cli")/geographiclib_bench
if [ -x "$rowBench" ]; then
    TELLURIM_GEOGRAPHICLIB_MODELS="$work" "$rowBench" --benchmark_repetitions="$repeats" \
        --benchmark_report_aggregates_only=true 2>/dev/null | grep -E "median|^Benchmark"
else
    echo "($rowBench not built: install libgeographiclib-dev for the row comparison)"
fi

lines=$(($(wc -l < "$work/grid.csv") - 1))
ours=$(cut -d' ' -f1 "$work/ours" | median)
theirs=$(cut -d' ' -f1 "$work/theirs" | median)
oursCpu=$(cut -d' ' -f2 "$work/ours" | median)
theirsCpu=$(cut -d' ' -f2 "$work/theirs" | median)
echo "points: $points (tellurim-cli wrote $lines lines), $repeats runs, load: $(cut -d' ' -f1-3 /proc/loadavg)"
awk -v p="$points" -v a="$ours" -v b="$theirs" -v ac="$oursCpu" -v bc="$theirsCpu" -v t="$threads" 'BEGIN {
    # time(1) counts in hundredths: a tiny grid may show no time at all.
    if (a <= 0 || ac <= 0 || b <= 0 || bc <= 0) { print "too fast to time: use a smaller STEP"; exit }
    printf "tellurim-cli grid --threads %d: %.3f s median (%.0f points/s), processor %.3f s (%.0f points/cpu-s)\n", t, a, p / a, ac, p / ac
    printf "MagneticField -r:             %.3f s median (%.0f points/s), processor %.3f s (%.0f points/cpu-s)\n", b, p / b, bc, p / bc
    printf "ratio: %.1f times the points per second, %.1f times the points per processor second\n", b / a, bc / ac
}'
