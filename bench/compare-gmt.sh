#!/bin/sh
# Draws the same world declination chart twice in one run and times both:
# `tellurim-cli map` (1440x720 PNG: colours, isolines, coastlines, graticule,
# dip poles, colour bar) against the pipeline a GMT user would write:
# GeographicLib's MagneticField over a grid, then GMT's xyz2grd, grdimage,
# grdcontour, pscoast and psscale. GMT writes PostScript: its PNG needs
# Ghostscript (psconvert), which would only add to its time, so the pipeline
# is timed to the PostScript file, in GMT's favour.
#
#   bench/compare-gmt.sh [CLI] [MODEL.COF] [STEP] [REPEATS]
#
# Defaults: build/bin/tellurim-cli, models/WMM2025.COF, a 0.5-degree grid for
# GMT (about as many points as the lattice tellurim-cli evaluates for that
# picture), 3 repeats (medians). Needs gmt, gmt-gshhg-low and
# geographiclib-tools (Debian).
set -eu

root=$(cd "$(dirname "$0")/.." && pwd)
cli=${1:-$root/build/bin/tellurim-cli}
cof=${2:-$root/models/WMM2025.COF}
step=${3:-0.5}
repeats=${4:-3}
year=2026.5

[ -x /usr/bin/time ] || { echo "/usr/bin/time not found (apt install time)" >&2; exit 1; }
command -v MagneticField >/dev/null || { echo "MagneticField not found (apt install geographiclib-tools)" >&2; exit 1; }
command -v gmt >/dev/null || { echo "gmt not found (apt install gmt gmt-gshhg-low)" >&2; exit 1; }
[ -x "$cli" ] || { echo "$cli is not built" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT INT TERM
"$root/bench/cof-to-geographiclib.py" "$cof" "$work/tellurim.wmm"

median() { sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
# "wall cpu" seconds of one command (children included).
timed() {
    /usr/bin/time -f "%e %U %S" -o "$work/time" "$@"
    awk '{ print $1, $2 + $3 }' "$work/time"
}

# The GMT chart: the grid's points (lon lat height, as MagneticField reads
# them), the declination beside each, a netCDF grid, then the picture.
cat > "$work/gmt-chart.sh" <<SCRIPT
set -eu
cd "$work"
awk -v s=$step 'BEGIN { for (lat = -90; lat <= 90 + s / 2; lat += s) for (lon = -180; lon <= 180 + s / 2; lon += s) printf "%.4f %.4f 0\n", lat, lon }' > points.txt
MagneticField -d "$work" -n tellurim -t $year --input-file points.txt --output-file field.txt
paste -d' ' points.txt field.txt | awk '{ print \$2, \$1, \$4 }' > declination.xyz
export GMT_USERDIR="$work" GMT_TMPDIR="$work"
gmt set MAP_FRAME_TYPE plain FONT_ANNOT_PRIMARY 8p PS_MEDIA 16ix9i
gmt xyz2grd declination.xyz -R-180/180/-90/90 -I$step -Gdeclination.nc
gmt makecpt -Cpolar -T-60/60/5 -D > declination.cpt
gmt grdimage declination.nc -Cdeclination.cpt -R-180/180/-90/90 -JQ0/14.4i -Bxa30g30 -Bya30g30 -B+t"Declination WMM-2025 $year" -K > chart.ps
gmt grdcontour declination.nc -R -J -C10 -A20 -W0.5p -O -K >> chart.ps
gmt grdcontour declination.nc -R -J -C+0 -W1.5p,darkgreen -O -K >> chart.ps
gmt pscoast -R -J -Dl -W0.4p -O -K >> chart.ps
gmt psscale -R -J -Cdeclination.cpt -DJBC+w7i -Bxa20 -By+l"deg" -O >> chart.ps
SCRIPT

: > "$work/ours"; : > "$work/theirs"
i=0
while [ "$i" -lt "$repeats" ]; do
    timed "$cli" map --element D --year "$year" --model "$cof" --size 1440x720 --output "$work/ours.png" >> "$work/ours"
    timed sh "$work/gmt-chart.sh" >> "$work/theirs"
    i=$((i + 1))
done

ours=$(cut -d' ' -f1 "$work/ours" | median)
theirs=$(cut -d' ' -f1 "$work/theirs" | median)
oursCpu=$(cut -d' ' -f2 "$work/ours" | median)
theirsCpu=$(cut -d' ' -f2 "$work/theirs" | median)
echo "world declination chart, $repeats runs, load: $(cut -d' ' -f1-3 /proc/loadavg)"
echo "pictures: $(identify -format '%wx%h PNG' "$work/ours.png" 2>/dev/null || echo '?') (tellurim), $(wc -c < "$work/chart.ps") bytes of PostScript (GMT)"
awk -v a="$ours" -v b="$theirs" -v ac="$oursCpu" -v bc="$theirsCpu" -v s="$step" 'BEGIN {
    if (a <= 0 || ac <= 0) { print "too fast to time"; exit }
    printf "tellurim-cli map:                  %.3f s median, processor %.3f s\n", a, ac
    printf "MagneticField + GMT (%.2g deg grid): %.3f s median, processor %.3f s\n", s, b, bc
    printf "ratio: %.1f times faster by the clock, %.1f times by processor time\n", b / a, bc / ac
}'
