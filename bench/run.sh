#!/usr/bin/env bash
# Runs the speed benchmarks under a real X server (Xvfb: the offscreen platform skips painting)
# and prints each measurement against its target. Timings on a shared machine vary: every figure
# is given as the range over several runs.
#   bench/run.sh [build-folder] [runs]      (build with -DQUORREL_BUILD_BENCHMARKS=ON)
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
runs=${2:-5}
for tool in Xvfb hyperfine; do
    command -v $tool >/dev/null || { echo "needs $tool: apt-get install xvfb hyperfine"; exit 1; }
done
work=$(mktemp -d)
display=:$((200 + RANDOM % 100))
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null; rm -rf "$work"' EXIT
export DISPLAY=$display QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR=$work
for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X${display#:}" ] && break; sleep 0.1; done

"$build/bench/make_packages" "$work"
many=$work/Many_Names.utx big=$work/Big_Random.utx
mkdir "$work/out"
echo "load average: $(cut -d' ' -f1-3 /proc/loadavg)   runs: $runs"

# min..max of a column of numbers
range() { sort -n | awk 'NR==1{lo=$1} {hi=$1} END{printf "%s..%s", lo, hi}'; }
# hyperfine's mean, min and max elapsed time and mean CPU time (user + system) of one command,
# in ms: "mean min max cpu"
timing() {
    hyperfine -N --warmup 2 --runs "${timed_runs:-$runs}" --export-csv "$work/t.csv" "$@" \
        >/dev/null 2>&1
    awk -F, 'NR==2{printf "%.1f %.1f %.1f %.1f\n", $2*1000, $7*1000, $8*1000, ($5+$6)*1000}' \
        "$work/t.csv"
}
ratio() { awk -v a="$1" -v b="$2" 'BEGIN{printf "%.2f", a/b}'; }

for _ in $(seq "$runs"); do "$build/bench/open_benchmark" "$many" 2>/dev/null; done >"$work/open.txt"
field() { awk -v k="$1" '$1==k{print $2}' "$work/open.txt" | range; }
echo "1,000,000 names, $(awk '$1=="pictures"{sub(",", "", $2); print $2; exit}' "$work/open.txt") pictures, in the window:"
echo "  Open until the window takes keys:      $(field open_ms) ms (target <= 1000); CPU $(field open_cpu_ms) ms"
echo "  peak memory after Open:                $(field open_peak_mb) MB (target <= 400)"
echo "  Make INT until the window takes keys:  $(field make_int_ms) ms (target <= 1000); CPU $(field make_int_cpu_ms) ms"
echo "  peak memory after Make INT:            $(field make_int_peak_mb) MB"

echo "  the same INT text in the text widgets Qt offers (one run, for the record):"
"$build/bench/text_box_options" "$many" 2>/dev/null | sed 's/^/    /'

read -r mean lo hi cpu < <(timing "$build/src/cli/quorrel-int --output - $many")
echo "quorrel-int --output - on it: $lo..$hi ms, mean $mean (target <= 1000); CPU $cpu ms"

read -r cat_mean cat_lo cat_hi cat_cpu < <(timing "cat $big")
read -r int_mean int_lo int_hi int_cpu < <(timing "$build/src/cli/quorrel-int --output $work/out $big")
echo "64 MiB random-tailed package: cat $cat_lo..$cat_hi ms, quorrel-int $int_lo..$int_hi ms"
echo "  ratio of the means: $(ratio "$int_mean" "$cat_mean")x (target <= 2);" \
    "of the CPU times: $(ratio "$int_cpu" "$cat_cpu")x"

# Twenty true-colour skin pictures of 256x256 made into a package: reading, reducing, mips, writing.
"$build/bench/make_packages" --pictures "$work/twenty" 20
read -r make_mean make_lo make_hi make_cpu < <(timing \
    "$build/src/cli/quorrel-int --make $work/Twenty.utx $(echo "$work"/twenty/*.png)")
echo "quorrel-int --make of 20 true-colour 256x256 pictures: $make_lo..$make_hi ms, mean $make_mean;" \
    "$(awk -v m="$make_mean" 'BEGIN{printf "%.1f", m/20}') ms a texture (target <= 20); CPU" \
    "$(awk -v c="$make_cpu" 'BEGIN{printf "%.1f", c/20}') ms a texture"
echo "  colour reduction beside pngquant (bench/colour_benchmark, one run):"
"$build/bench/colour_benchmark" 2>/dev/null | sed 's/^/    /'

# A start-up takes a few tens of milliseconds: many runs, so scheduling noise evens out.
probe=$build/bench/startup_probe
timed_runs=$((runs * 8))
read -r bare_mean bare_lo bare_hi bare_cpu < <(timing "$probe bare")
read -r form_mean form_lo form_hi form_cpu < <(timing "$probe form")
echo "start-up: bare label window $bare_lo..$bare_hi ms, the tool $form_lo..$form_hi ms"
echo "  ratio of the means: $(ratio "$form_mean" "$bare_mean")x (target <= 1.3);" \
    "of the CPU times: $(ratio "$form_cpu" "$bare_cpu")x"

# The game view on packages of textures: 50 (4 MiB) and 1,024 of 256x256 (85 MiB).
"$build/bench/game_view_benchmark" "$work" 2>/dev/null >"$work/view.txt"
view() { awk -v k="$1" '$1==k{print $2}' "$work/view.txt"; }
echo "game view, opened and painted: 50 textures $(view open_50_ms) ms (target <= 150);" \
    "1,024 textures $(view open_1024_ms) ms"
echo "  every thumbnail of the 1,024 painted: $(view all_thumbnails_ms) ms (target <= 1000);" \
    "peak memory $(view peak_mb) MB for a $(view package_mb) MB package (target <= 2x + 50)"
echo "  a keystroke in an INT text of 100 pictures, lists followed: $(view keystroke_us) us" \
    "median (target <= 16000)"

# A pictures folder of 20 true-colour pictures of 256x256 in the window, the game view shown.
for _ in $(seq "$runs"); do
    rm -rf "$work/folder" && "$build/bench/folder_benchmark" "$work/folder" 2>/dev/null
done >"$work/folder.txt"
folder() { awk -v k="$1" '$1==k{print $2}' "$work/folder.txt" | range; }
echo "pictures folder: opened until the model wears it $(folder open_folder_ms) ms (target <= 1000)"
echo "  a picture saved until the model shows it, of 20 saves: median $(folder change_median_ms) ms," \
    "worst $(folder change_worst_ms) ms (target <= 500)"

# Google Benchmark's median of the runs, in ms, of each model benchmark.
"$build/bench/model_benchmark" --benchmark_repetitions="$runs" --benchmark_report_aggregates_only=true \
    --benchmark_format=csv 2>/dev/null >"$work/model.csv"
median() { awk -F, -v k="$1" '$1 ~ "^\""k"(/real_time)?_median\"$" {printf "%.2f", $3}' "$work/model.csv"; }
echo "model view: a 256x256 frame of 1,000 faces $(median BM_Draw1000Faces) ms (target <= 5)," \
    "the game's Skaarj $(median BM_DrawSkaarj) ms"
echo "  the mesh found among 200 packages: $(median BM_FindMeshIn200Packages) ms (target <= 300)"

# A whole game: 1,000 skin packages (about 600 MB) with their .int files and their model.
"$build/bench/game_check_benchmark" "$build/src/cli/quorrel-int" "$work/game" "$runs" >"$work/game.txt"
game() { awk -v k="$1" '$1==k{print $2}' "$work/game.txt"; }
echo "whole game of $(game packages) skin packages, $(game folder_mb) MB, warm cache:"
echo "  quorrel-int --check-game: $(game check_ms) ms (target <= 2000);" \
    "peak memory $(game check_peak_mb) MB (target <= 300)"
echo "  quorrel-int --gallery: $(game gallery_ms) ms (target <= 20000);" \
    "peak memory $(game gallery_peak_mb) MB (target <= 300); the page $(game gallery_mb) MB"
