#!/usr/bin/env bash
# The analyze and compare commands: their output on the bundled images, and a table of bad calls
# with the expected exit code and message fragment.
# Usage: cli_commands.sh CHAOSMIX DATA_DIR WORK_DIR
set -uo pipefail
chaosmix=$1 data=$2 work=$3
key=3a915c07e24fb816d36e29a471c50b59
failures=0 checks=0
rm -rf "$work" && mkdir -p "$work"

check() {  # check NAME EXPECTED_CODE FRAGMENT COMMAND...: runs it, checks code and combined output
  local name=$1 code=$2 fragment=$3
  shift 3
  checks=$((checks + 1))
  "$@" > "$work/out.txt" 2> "$work/err.txt"
  local got=$?
  if [ "$got" -ne "$code" ] || ! grep -qF -- "$fragment" "$work/out.txt" "$work/err.txt"; then
    echo "FAIL $name: exit $got (expected $code), fragment '$fragment'" >&2
    cat "$work/out.txt" "$work/err.txt" >&2
    failures=$((failures + 1))
  else
    echo "ok   $name"
  fi
}

camera=$data/camera.png astronaut=$data/astronaut.png
check "fold round trip passes" 0 '"metric": "Round trip, octets that differ", "plane": "", "value": 0,' \
  "$chaosmix" analyze --cipher fold --rounds 3 --key "$key" "$astronaut" --json
check "colour planes are measured apart" 0 '"metric": "NPCR, key sensitivity", "plane": "B"' \
  "$chaosmix" analyze --cipher fold --rounds 1 --key "$key" "$astronaut" --json
check "cube reports its permutation" 0 'Cube permutation, cells no source reaches' \
  "$chaosmix" analyze --cipher cube --rounds 1 --key "$key" "$camera"
check "the seed is reported" 0 'seed: 42' \
  "$chaosmix" analyze --cipher cube --rounds 1 --key "$key" "$camera" --seed 42
check "cube refuses colour" 1 'gray images only' \
  "$chaosmix" analyze --cipher cube --rounds 1 --key "$key" "$astronaut"
check "no key" 2 '--key' "$chaosmix" analyze --cipher fold --rounds 1 "$camera"
check "no rounds" 2 'rounds' "$chaosmix" analyze --cipher fold --key "$key" "$camera"
check "zero rounds" 2 'rounds' "$chaosmix" analyze --cipher fold --rounds 0 --key "$key" "$camera"
check "missing image" 1 'nothere.png' \
  "$chaosmix" analyze --cipher fold --rounds 1 --key "$key" "$work/nothere.png"
echo "keep me" > "$work/existing.html"
check "report never clobbers" 1 'existing.html' \
  "$chaosmix" analyze --cipher fold --rounds 1 --key "$key" "$camera" --report "$work/existing.html"
grep -qx 'keep me' "$work/existing.html" || { echo "FAIL the existing report changed" >&2; failures=$((failures + 1)); }
check "report replaced with --force" 0 'passed' \
  "$chaosmix" analyze --cipher fold --rounds 1 --key "$key" "$camera" --report "$work/existing.html" --force
grep -q '<table id="metrics">' "$work/existing.html" || { echo "FAIL no report written" >&2; failures=$((failures + 1)); }

check "an image against itself" 0 '"metric": "NPCR, A against B", "plane": "gray", "value": 0,' \
  "$chaosmix" compare "$camera" "$camera" --json
check "identical images have infinite PSNR" 0 'inf dB' "$chaosmix" compare "$camera" "$camera"
check "shapes must match" 1 'differ in shape' "$chaosmix" compare "$camera" "$astronaut"
check "one standard input only" 2 'standard input' "$chaosmix" compare - -
check "two images needed" 2 'B' "$chaosmix" compare "$camera"

echo "$((checks - failures)) passed, $failures failed"
[ "$failures" -eq 0 ]
