#!/usr/bin/env bash
# Times `chaosmix encrypt` on 16 image files with -j 1 and with -j 2 and prints the speed-up.
# Usage: bench/cli_parallel.sh [path/to/chaosmix]   (default: build/cli/chaosmix)
#        ROUNDS=n changes the round count (default 10); TMPDIR=DIR puts the files in DIR (for
#        instance TMPDIR=/dev/shm to leave the disk's syncs out of the figure).
# Uses hyperfine when it is installed, otherwise the best of five timed runs per setting.
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
tool="${1:-$root/build/cli/chaosmix}"
[ -x "$tool" ] || { echo "cli_parallel: $tool not found; build the chaosmix_cli target" >&2; exit 1; }

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/in" "$work/out"

# 16 colour images of 1024 x 1024 random pixels, binary PPM.
for i in $(seq -w 1 16); do
  { printf 'P6\n1024 1024\n255\n'; head -c $((1024 * 1024 * 3)) /dev/urandom; } >"$work/in/img$i.ppm"
done

key=000102030405060708090a0b0c0d0e0f
rounds="${ROUNDS:-10}"
run() {  # run JOBS
  "$tool" encrypt --cipher fold --rounds "$rounds" --key "$key" --force --output-dir "$work/out" \
    -j "$1" "$work"/in/*.ppm >/dev/null 2>&1
}

if command -v hyperfine >/dev/null; then
  hyperfine --warmup 1 --runs 5 --export-markdown "$work/hf.md" \
    "$(declare -f run); tool='$tool' work='$work' key=$key rounds=$rounds run 1" \
    "$(declare -f run); tool='$tool' work='$work' key=$key rounds=$rounds run 2"
  cat "$work/hf.md"
  exit 0
fi

best() {  # best JOBS: the shortest of five runs, in seconds
  local jobs=$1 shortest="" t0 t1 t
  run "$jobs"  # warm-up
  for _ in 1 2 3 4 5; do
    t0=$(date +%s.%N); run "$jobs"; t1=$(date +%s.%N)
    t=$(awk -v a="$t0" -v b="$t1" 'BEGIN { print b - a }')
    if [ -z "$shortest" ] || awk -v t="$t" -v s="$shortest" 'BEGIN { exit !(t < s) }'; then
      shortest=$t
    fi
  done
  echo "$shortest"
}

one=$(best 1)
two=$(best 2)
printf '16 files, fold cipher, %s rounds, 1024x1024 colour PPM, in %s\n' "$rounds" "$work"
printf -- '-j 1: %.3f s\n-j 2: %.3f s\nspeed-up: %.2f x (on %s cores)\n' \
  "$one" "$two" "$(awk -v a="$one" -v b="$two" 'BEGIN { print a / b }')" "$(nproc)"
