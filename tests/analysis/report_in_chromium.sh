#!/usr/bin/env bash
# Renders the HTML report of `chaosmix analyze` in headless Chromium and checks that the page
# loads without console errors, shows the table with a row per measurement and the three
# embedded images, and that the screenshot is a real picture of the page.
# Usage: report_in_chromium.sh CHAOSMIX CHROMIUM IMAGE WORK_DIR
set -euo pipefail
chaosmix=$1 chromium=$2 image=$3 work=$4
key=3a915c07e24fb816d36e29a471c50b59

fail() { echo "report_in_chromium: $*" >&2; exit 1; }

rm -rf "$work" && mkdir -p "$work"
"$chaosmix" analyze --cipher fold --rounds 2 --key "$key" "$image" \
  --report "$work/report.html" > "$work/table.txt"
"$chaosmix" analyze --cipher fold --rounds 2 --key "$key" "$image" --json > "$work/table.json"
rows=$(grep -c '"metric":' "$work/table.json")

profile=$(mktemp -d)
trap 'rm -rf "$profile"' EXIT
status=0
timeout 120 "$chromium" --headless --no-sandbox --disable-gpu --disable-quic --no-first-run \
  --disable-background-networking --disable-component-update --disable-sync \
  --user-data-dir="$profile" --enable-logging=stderr --v=0 --window-size=1280,2000 \
  --screenshot="$work/screenshot.png" --dump-dom "file://$work/report.html" \
  > "$work/dom.html" 2> "$work/chromium.log" || status=$?
[ "$status" -eq 0 ] || { cat "$work/chromium.log" >&2; fail "chromium exited with $status"; }

# The page loaded: no console message, the whole document is there.
if grep -E 'CONSOLE|Uncaught|Failed to load' "$work/chromium.log" >&2; then
  fail "the page logged errors"
fi
grep -q '</html>' "$work/dom.html" || fail "the document is incomplete"
grep -q '<table id="metrics">' "$work/dom.html" || fail "no result table in the page"
shown=$(grep -cE '<tr class="(pass|fail|info)">' "$work/dom.html" || true)
[ "$shown" -eq "$rows" ] || fail "the table shows $shown rows, the analysis has $rows"
grep -q '&#10003; pass\|✓ pass' "$work/dom.html" || fail "no pass mark in the table"
images=$(grep -o '<img [^>]*src="data:image/png;base64,[A-Za-z0-9+/=]\{1000,\}"' "$work/dom.html" | wc -l)
[ "$images" -eq 3 ] || fail "expected 3 embedded images, found $images"
[ "$(grep -c '<svg' "$work/dom.html")" -ge 8 ] || fail "the charts are missing"

# The screenshot is a PNG of the window size with real content.
[ -s "$work/screenshot.png" ] || fail "no screenshot"
[ "$(head -c 8 "$work/screenshot.png" | od -An -tx1 | tr -d ' \n')" = 89504e470d0a1a0a ] ||
  fail "the screenshot is not a PNG"
size=$(stat -c %s "$work/screenshot.png")
[ "$size" -gt 100000 ] || fail "the screenshot is nearly empty ($size bytes)"
"$chaosmix" compare "$work/screenshot.png" "$work/screenshot.png" > "$work/shot.txt" 2>/dev/null ||
  fail "the screenshot cannot be decoded"
grep -q 'image: 2000 rows x 1280 columns' "$work/shot.txt" || fail "the screenshot has the wrong size"
echo "report_in_chromium: the page shows $shown rows and 3 images; screenshot $size bytes"
