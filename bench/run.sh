#!/usr/bin/env bash
# Builds and runs the benchmarks, first installing from Debian's packages whatever a benchmark
# compares against (vipsthumbnail, ImageMagick's convert, djpeg) or needs (xvfb, Google Benchmark).
#
#   bench/run.sh                      depth, tslbuilder and thumbnails
#   bench/run.sh depth tslbuilder ... any of: depth tslbuilder thumbnails features ordering feature-decode
#   bench/run.sh decode-floor DIR     djpeg -scale 1/8 over DIR's JPEGs (the least any tool spends)
#
# Environment: BUILD_DIR (default build), BEFORE=path of an older tslbuilder to compare with,
# TSL_MODELS="a.ply b.ply" models for the tslbuilder benchmark (default: the shared real scene
# and a generated model of 2,000,000 triangles).
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath -m "${BUILD_DIR:-$root/build}")
shared="$root/../shared/data"

# shellcheck source=bench/need.sh
source "$root/bench/need.sh"

compile() {
    cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
    cmake --build "$build" -j "$(nproc)" --target "$@"
}

# GL programs need a display.
on_display() {
    mkdir -p "$build"
    [ -d "$build/xdg-runtime" ] || mkdir -m 0700 "$build/xdg-runtime"
    XDG_RUNTIME_DIR="$build/xdg-runtime" xvfb-run -a -s "-screen 0 1600x1200x24" "$@"
}

bench_depth() {
    need xvfb xauth
    compile bench_depth
    echo "== depth: generated terrain of 200,000 triangles"
    on_display "$build/bin/bench_depth" --shots 300 --rounds 3
    if [ -f "$shared/sceaux/sceaux.pfp" ]; then
        echo "== depth: real scene mesh and its cameras"
        on_display "$build/bin/bench_depth" --project "$shared/sceaux/sceaux.pfp" --shots 300 --rounds 3
    fi
}

bench_tslbuilder() {
    compile bench_tslbuilder tslbuilder make-sample-dataset orvelle-index
    local models=${TSL_MODELS:-}
    if [ -z "$models" ]; then
        local generated="$build/bench-data/model-2m"
        [ -f "$generated/model/scene.ply" ] ||
            "$build/bin/make-sample-dataset" "$generated" --views 4 --triangles 2000000 --overwrite >/dev/null
        [ -f "$shared/sceaux/scene_mesh_refine.ply" ] && models="$shared/sceaux/scene_mesh_refine.ply"
        models="$models $generated/model/scene.ply"
    fi
    echo "== tslbuilder"
    # shellcheck disable=SC2086
    "$build/bin/bench_tslbuilder" --runs 5 ${BEFORE:+--before "$BEFORE"} $models
}

bench_thumbnails() {
    need xvfb xauth libvips-tools imagemagick
    compile thumbnail-bench
    echo "== thumbnails against vipsthumbnail and convert"
    on_display "$build/bin/thumbnail-bench" --repeat 3
}

bench_features() {
    need libbenchmark-dev
    compile bench_features
    "$build/bin/bench_features"
}

bench_ordering() {
    need libbenchmark-dev
    compile bench_ordering
    "$build/bin/bench_ordering"
}

bench_feature_decode() {
    need xvfb xauth
    compile feature-decode-bench make-sample-dataset
    echo "== colour features: reduced decode against full size"
    on_display "$build/bin/feature-decode-bench" --steps
}

# Decoding every photograph once at 1/8 scale: the floor the whole generation is measured against.
decode_floor() {
    need libjpeg-turbo-progs
    local folder=$1
    local photos=("$folder"/*.[jJ][pP][gG] "$folder"/*.[jJ][pP][eE][gG])
    local count=0 start end
    start=$(date +%s%N)
    for photo in "${photos[@]}"; do
        [ -f "$photo" ] || continue
        djpeg -scale 1/8 -outfile /dev/null "$photo"
        count=$((count + 1))
    done
    end=$(date +%s%N)
    echo "== decode floor: djpeg -scale 1/8 on $count photographs of $folder: $(awk "BEGIN { printf \"%.2f\", ($end - $start) / 1e9 }") s"
}

[ $# -gt 0 ] || set -- depth tslbuilder thumbnails
while [ $# -gt 0 ]; do
    case $1 in
    depth | tslbuilder | thumbnails | features | ordering) "bench_$1" ;;
    feature-decode) bench_feature_decode ;;
    decode-floor)
        [ $# -ge 2 ] || { echo "decode-floor needs a folder of JPEGs" >&2; exit 1; }
        decode_floor "$2"
        shift
        ;;
    *) echo "unknown benchmark: $1" >&2; exit 1 ;;
    esac
    shift
done
