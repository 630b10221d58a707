#!/usr/bin/env bash
# The README's table of lobara-render's options is the one that their declaration makes:
#   readme_options_test.sh TABLE-PROGRAM README
# On a difference it shows it; the program's output, put between the markers, mends it.
set -u
table=$1 readme=$2
expected=$(mktemp)
trap 'rm -f "$expected"' EXIT
"$table" >"$expected" || exit 1
if ! sed -n '/<!-- options: begin -->/,/<!-- options: end -->/p' "$readme" | sed '1d;$d' | diff -u - "$expected"; then
  echo "FAIL: the README's option table differs from the options' declarations (above);"
  echo "put the output of $(basename "$table") between the README's option markers"
  exit 1
fi
echo "readme_options: the README's table is the options' declarations"
