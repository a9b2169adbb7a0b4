#!/usr/bin/env bash
# Whole index generation against the decode floor: `orvelle-index generate` (default weights) on a
# generated sample of N photographs of 4000 x 3000, timed against decoding every photograph once with
# `djpeg -scale 1/8`, in alternated rounds, side by side and one step at a time.
#
#   bench/generate-floor.sh [N...]        default: 100 500
#
# Environment: ROUNDS (default 3), MODES ("side one", or one of them), BUILD_DIR (default build),
# DATA_DIR (default BUILD_DIR/bench-data; the samples are made there once, generate-N/),
# NO_BUILD=1 to use the programs as they are.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath -m "${BUILD_DIR:-$root/build}")
data=$(realpath -m "${DATA_DIR:-$build/bench-data}")
rounds=${ROUNDS:-3}
modes=${MODES:-side one}

# shellcheck source=bench/need.sh
source "$root/bench/need.sh"

# The generation draws with OpenGL: the whole script runs under one virtual display.
if [ -z "${DISPLAY:-}" ]; then
    need xvfb xauth libjpeg-turbo-progs time
    if [ -z "${NO_BUILD:-}" ]; then
        cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
        cmake --build "$build" -j "$(nproc)" --target orvelle-index make-sample-dataset
    fi
    mkdir -p -m 0700 "$build/xdg-runtime"
    XDG_RUNTIME_DIR="$build/xdg-runtime" exec xvfb-run -a -s "-screen 0 1600x1200x24" "$0" "$@"
fi
need libjpeg-turbo-progs time
[ $# -gt 0 ] || set -- 100 500

median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# Runs the command under /usr/bin/time; prints "wall user system peak-kB".
timed() {
    local out
    out=$(mktemp)
    /usr/bin/time -f "%e %U %S %M" -o "$out" "$@" >/dev/null 2>"$out.err" || {
        echo "failed: $*" >&2
        cat "$out.err" >&2
        exit 1
    }
    cat "$out"
    rm -f "$out" "$out.err"
}

floor_run() {
    local photos=$1
    timed bash -c 'for photo in "$0"/*.jpg; do djpeg -scale 1/8 "$photo" >/dev/null; done' "$photos"
}

generate_run() {
    local sample=$1 mode=$2
    # Thumbnails that exist are kept: every run makes them all again. The old ones are moved aside and
    # deleted at the end: files deleted seconds before make ext4 (without a journal) skip their inodes
    # on every new file, a cost the floor would not share and no user's generation meets.
    if [ -d "$sample/photos/thumbnails" ]; then
        mkdir -p "$sample/old-thumbnails"
        mv "$sample/photos/thumbnails" "$(mktemp -u "$sample/old-thumbnails/XXXXXX")"
    fi
    local options=()
    [ "$mode" = one ] && options=(--one-step-at-a-time)
    timed "$build/bin/orvelle-index" generate "$sample/sample.pfp" -o "$sample/bench.orx" "${options[@]}"
}

for n in "$@"; do
    sample="$data/generate-$n"
    if [ ! -f "$sample/sample.pfp" ]; then
        echo "Making $n photographs of 4000 x 3000 in $sample"
        "$build/bin/make-sample-dataset" "$sample" --views "$n" --size 4000x3000 --overwrite >/dev/null
    fi
    echo "== $n photographs, $rounds rounds; load: $(cut -d' ' -f1-3 /proc/loadavg)"
    printf '%-6s %-6s %9s %9s %9s %10s %9s %11s %7s %9s\n' round side wall_s user_s sys_s peak_MB floor_s \
        floor_cpu_s ratio cpu_ratio
    declare -A ratios=() cpu_ratios=() walls=() peaks=() cpus=()
    floors=()
    floor_cpus=()
    for ((r = 1; r <= rounds; r++)); do
        # Alternated: the floor first in even rounds, last in odd ones.
        order=($modes floor)
        [ $((r % 2)) -eq 0 ] && order=(floor $modes)
        declare -A result=()
        for what in "${order[@]}"; do
            if [ "$what" = floor ]; then
                result[floor]=$(floor_run "$sample/photos")
            else
                result[$what]=$(generate_run "$sample" "$what")
            fi
        done
        read -r floor_wall floor_user floor_system _ <<<"${result[floor]}"
        floor_cpu=$(awk "BEGIN { print $floor_user + $floor_system }")
        floors+=("$floor_wall")
        floor_cpus+=("$floor_cpu")
        for mode in $modes; do
            read -r wall user system peak <<<"${result[$mode]}"
            ratio=$(awk "BEGIN { printf \"%.2f\", $wall / $floor_wall }")
            cpu_ratio=$(awk "BEGIN { printf \"%.2f\", ($user + $system) / $floor_cpu }")
            printf '%-6s %-6s %9s %9s %9s %10d %9s %11s %7s %9s\n' "$r" "$mode" "$wall" "$user" "$system" \
                $((peak / 1024)) "$floor_wall" "$floor_cpu" "$ratio" "$cpu_ratio"
            ratios[$mode]+="$ratio "
            cpu_ratios[$mode]+="$cpu_ratio "
            walls[$mode]+="$wall "
            cpus[$mode]+="$(awk "BEGIN { print $user + $system }") "
            peaks[$mode]+="$((peak / 1024)) "
        done
    done
    floor_median=$(printf '%s\n' "${floors[@]}" | median)
    floor_cpu_median=$(printf '%s\n' "${floor_cpus[@]}" | median)
    for mode in $modes; do
        printf 'median %-6s generate %s s (processor %s s, peak %s MB), floor %s s (processor %s s), paired ratio %s, processor %s\n' \
            "$mode" "$(tr ' ' '\n' <<<"${walls[$mode]}" | grep . | median)" \
            "$(tr ' ' '\n' <<<"${cpus[$mode]}" | grep . | median)" \
            "$(tr ' ' '\n' <<<"${peaks[$mode]}" | grep . | median)" "$floor_median" "$floor_cpu_median" \
            "$(tr ' ' '\n' <<<"${ratios[$mode]}" | grep . | median)" \
            "$(tr ' ' '\n' <<<"${cpu_ratios[$mode]}" | grep . | median)"
    done
    unset ratios cpu_ratios walls peaks cpus
    rm -rf "$sample/old-thumbnails"
done
