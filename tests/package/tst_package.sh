#!/bin/bash
# The Debian package as a user gets it: made from the build tree, checked by lintian,
# desktop-file-validate and appstreamcli, unpacked into a temporary root and run from there.
# Usage: tst_package.sh BUILD_DIR VERSION (under a display: the window is started).
set -u
build_dir=$1
version=$2
work=$(mktemp -d)
window_pid=
cleanup() {
    [ -n "$window_pid" ] && kill "$window_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}
pass() { echo "PASS: $*"; }

for tool in cpack lintian desktop-file-validate appstreamcli dpkg-deb xwininfo; do
    command -v "$tool" >/dev/null || { echo "FAIL: $tool is not installed (make deps)"; exit 1; }
done
[ -n "${DISPLAY:-}" ] || { echo "FAIL: no display (run under xvfb-run)"; exit 1; }

# 1. The package, from what the build tree holds.
if ! cpack --config "$build_dir/CPackConfig.cmake" -B "$work/package" >"$work/cpack.log" 2>&1; then
    cat "$work/cpack.log"
    echo "FAIL: cpack"
    exit 1
fi
deb=$(ls "$work"/package/*.deb)
pass "package built: $(basename "$deb") ($(stat -c %s "$deb") bytes)"
depends=$(dpkg-deb -f "$deb" Depends)
case $depends in
*libqt6widgets6*libc6* | *libc6*libqt6widgets6*) pass "Depends computed: $depends" ;;
*) fail "Depends lacks the libraries linked: '$depends'" ;;
esac

# 2. Lintian: no errors.
lintian --tag-display-limit 0 "$deb" >"$work/lintian.log" 2>&1
if grep -q '^E:' "$work/lintian.log"; then
    cat "$work/lintian.log"
    fail "lintian reports errors"
else
    pass "lintian: no errors ($(grep -c '^W:' "$work/lintian.log") warnings)"
fi

# 3. Unpacked root: desktop entry and metainfo validate.
root=$work/root
dpkg-deb -x "$deb" "$root" || { echo "FAIL: dpkg-deb -x"; exit 1; }
desktop=$root/usr/share/applications/orvelle-index-generator.desktop
if desktop-file-validate "$desktop"; then pass "desktop-file-validate"; else fail "desktop-file-validate"; fi
metainfo=$root/usr/share/metainfo/orvelle-index-generator.metainfo.xml
appstreamcli validate --no-net "$metainfo" >"$work/appstream.log" 2>&1
if grep -q '^E:' "$work/appstream.log"; then
    cat "$work/appstream.log"
    fail "appstreamcli validate reports errors"
else
    pass "appstreamcli validate: no errors"
fi
for file in usr/bin/OrvelleIndexGenerator usr/bin/orvelle-index usr/bin/make-sample-dataset \
    usr/lib/orvelle-index-generator/tessel/tslbuilder usr/share/man/man1/orvelle-index.1.gz \
    usr/share/man/man1/tslbuilder.1.gz usr/share/bash-completion/completions/orvelle-index \
    usr/share/mime/packages/orvelle-index-generator.xml \
    usr/share/icons/hicolor/scalable/apps/orvelle-index-generator.svg \
    usr/share/orvelle-index-generator/translations/orvelle_fr.qm \
    usr/share/orvelle-index-generator/translations/orvelle_it.qm; do
    [ -f "$root/$file" ] || fail "missing from the package: /$file"
done
if find "$root" -path '*tst_*' -o -path '*bench*' | grep -q .; then fail "tests or benchmarks in the package"; fi

# 4. The unpacked programs: versions, a sample, an index with the builder found in its installed place.
bin=$root/usr/bin
for program in orvelle-index make-sample-dataset OrvelleIndexGenerator; do
    out=$("$bin/$program" --version 2>&1)
    [ "$out" = "$program $version" ] || fail "$program --version printed '$out'"
done
out=$("$root/usr/lib/orvelle-index-generator/tessel/tslbuilder" --version 2>&1)
[ "$out" = "tslbuilder $version" ] || fail "tslbuilder --version printed '$out'"
sample=$work/sample
"$bin/make-sample-dataset" "$sample" --views 6 --size 320x240 --triangles 3000 >/dev/null ||
    { echo "FAIL: make-sample-dataset"; exit 1; }
english=(env -u LANGUAGE -u LC_ALL -u LC_MESSAGES LANG=C.UTF-8)
french=(env LANGUAGE=fr LANG=fr_FR.UTF-8 LC_ALL=fr_FR.UTF-8)
if "${english[@]}" "$bin/orvelle-index" generate "$sample/sample.pfp" -o "$sample/en.orx" --tessel \
    --tessel-output "$sample/model.tsl" >"$work/generate.log" 2>&1 && [ -s "$sample/model.tsl" ]; then
    pass "orvelle-index generate with the installed builder"
else
    cat "$work/generate.log"
    fail "orvelle-index generate --tessel"
fi

# 5. French: the engine's messages are French, the index is byte for byte the English one.
"${french[@]}" "$bin/orvelle-index" generate "$sample/sample.pfp" -o "$sample/fr.orx" --tessel \
    --tessel-output "$sample/model.tsl" >"$work/generate-fr.log" 2>&1 || fail "generate in French"
if cmp "$sample/en.orx" "$sample/fr.orx"; then pass "index identical in French and English"; else fail "index differs in French"; fi
message=$("${french[@]}" "$bin/orvelle-index" generate "$sample/sample.pfp" -o "$sample/x.orx" \
    --model "$sample/absent.ply" 2>&1)
case $message in
*"n'existe pas"*) pass "French message: $message" ;;
*) fail "message not in French: $message" ;;
esac

# 6. The window, given a file on its command line, imports it: its title names the file (in French).
window_title() { xwininfo -root -tree | grep -o "\"$1[^\"]*\"" | head -n 1; }
"${french[@]}" "$bin/OrvelleIndexGenerator" "$sample/en.orx" >"$work/window.log" 2>&1 &
window_pid=$!
title=
for _ in $(seq 1 60); do
    title=$(window_title "en.orx - ")
    [ -n "$title" ] && break
    sleep 0.5
done
case $title in
*"en.orx - G"*"n"*"rateur d'index Orvelle"*) pass "window imported the file: $title" ;;
*)
    cat "$work/window.log"
    xwininfo -root -tree | grep -i orvelle
    fail "window title after the import: '$title'"
    ;;
esac
kill "$window_pid" 2>/dev/null
wait "$window_pid" 2>/dev/null
window_pid=

[ "$failures" -eq 0 ] || { echo "$failures check(s) failed"; exit 1; }
echo "all checks passed"
