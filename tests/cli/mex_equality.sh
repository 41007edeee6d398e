#!/usr/bin/env bash
# The tool against the MEX functions in Octave, octet for octet: Octave reads each PNG with
# imread and runs cubemix/foldmix/... on double(imread(file)); the tool runs on the same file.
# Both results are written as binary PGM/PPM and compared with cmp.
#
# usage: mex_equality.sh TOOL OCTAVE_CLI MEX_DIR DATA_DIR WORK_DIR
set -euo pipefail
tool=$1 octave=$2 mex_dir=$3 data_dir=$4 work=$5
rm -rf "$work"
mkdir -p "$work"
cd "$work"
export LC_ALL=C

key_list="3,141,59,26,53,58,97,93,238,46,26,43,38,32,79,50"
key_matrix="[${key_list//,/ }]"

# Non-square fixtures (53 wide, 37 high; 41 wide, 29 high in colour): pseudo-random octets as
# PGM/PPM, turned into 8-bit PNG files by the tool itself.
random_octets() { awk -v n="$1" -v s="$2" 'BEGIN { srand(s); for (i = 0; i < n; i++) printf "%c", int(rand() * 256) }'; }
{ printf 'P5\n53 37\n255\n'; random_octets $((53 * 37)) 1; } > rect.pgm
{ printf 'P6\n41 29\n255\n'; random_octets $((41 * 29 * 3)) 2; } > rect.ppm
"$tool" encrypt --cipher fold --rounds 1 --key "$key_list" rect.pgm rect-gray.png
"$tool" encrypt --cipher fold --rounds 1 --key "$key_list" rect.ppm rect-colour.png
cp "$data_dir/camera.png" "$data_dir/astronaut.png" .

# input, MEX function, rounds, result name (.pgm for gray, .ppm for colour)
cases=(
  "camera.png cubemix 2 camera-cube.pgm"
  "camera.png foldmix 2 camera-fold.pgm"
  "astronaut.png foldmix 2 astronaut-fold.ppm"
  "rect-gray.png cubemix 3 rect-gray-cube.pgm"
  "rect-gray.png foldmix 3 rect-gray-fold.pgm"
  "rect-colour.png foldmix 1 rect-colour-fold.ppm"
  "rect-gray.png cubeunmix 1 rect-gray-uncube.pgm"
  "rect-colour.png foldunmix 2 rect-colour-unfold.ppm"
)

script="addpath('$mex_dir'); key = $key_matrix;"
for c in "${cases[@]}"; do
  read -r input fn rounds output <<< "$c"
  script+=" chaosmix_write_pnm(uint8($fn(double(imread('$input')), $rounds, key)), 'octave-$output');"
done
cat > chaosmix_write_pnm.m <<'OCTAVE'
function chaosmix_write_pnm(image, name)
  % Binary PGM (one plane) or PPM (three planes), rows top to bottom, samples interleaved.
  f = fopen(name, 'wb');
  if size(image, 3) == 1
    fprintf(f, 'P5\n%d %d\n255\n', columns(image), rows(image));
  else
    fprintf(f, 'P6\n%d %d\n255\n', columns(image), rows(image));
  end
  samples = permute(image, [3 2 1]);
  fwrite(f, samples(:), 'uint8');
  fclose(f);
end
OCTAVE
"$octave" --no-gui --norc --no-history --quiet --eval "$script"

status=0
for c in "${cases[@]}"; do
  read -r input fn rounds output <<< "$c"
  case $fn in
    cubemix) args=(encrypt --cipher cube --allow-lossy) ;;
    cubeunmix) args=(decrypt --cipher cube) ;;
    foldmix) args=(encrypt --cipher fold) ;;
    foldunmix) args=(decrypt --cipher fold) ;;
  esac
  "$tool" "${args[@]}" --rounds "$rounds" --key "$key_list" "$input" "tool-$output"
  if cmp "tool-$output" "octave-$output"; then
    echo "same octets: $fn on $input, $rounds rounds"
  else
    echo "DIFFERENT: $fn on $input, $rounds rounds" >&2
    status=1
  fi
done
exit $status
