#!/usr/bin/env bash
# lobara-render from the outside: its JSON line, its values file, and its refusals.
set -u
render=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

expect_output() {  # expected stdout, then the arguments
  local expected=$1; shift
  local out; out=$("$render" "$@" 2>"$work/err"); local rc=$?
  [ $rc -eq 0 ] || fail "$* exited $rc: $(cat "$work/err")"
  [ "$out" = "$expected" ] || fail "$*: got '$out', want '$expected'"
}

expect_usage_error() {  # a word the one-line message must name, then the arguments
  local word=$1; shift
  "$render" "$@" >"$work/out" 2>"$work/err"; local rc=$?
  [ $rc -eq 2 ] || fail "$* exited $rc, want 2"
  [ "$(wc -l <"$work/err")" -eq 1 ] || fail "$*: stderr is not one line: $(cat "$work/err")"
  grep -q -- "$word" "$work/err" || fail "$*: stderr does not name $word: $(cat "$work/err")"
  [ ! -s "$work/out" ] || fail "$*: printed to stdout on error"
}

expect_output '{"l":2,"m":0,"theta":480,"phi":240,"vertices":115200,"faces":114960,"positive":70080,"negative":44880,"norm":"ortho","cs":false,"sine":"lobara"}' --stats
expect_output '{"l":0,"m":0,"theta":3,"phi":4,"vertices":12,"faces":8,"positive":8,"negative":0,"norm":"ortho","cs":false,"sine":"lobara"}' \
  --l 0 --m=0 --theta 3 --phi=4 --stats
expect_output '{"l":2,"m":-3,"theta":480,"phi":4,"vertices":1920,"faces":1916,"positive":0,"negative":0,"zero":true,"norm":"ortho","cs":false,"sine":"lobara"}' \
  --m -3 --phi 4 --stats

# Short forms, a zero harmonic warned about but done, help naming every option and the grid.
expect_output "$("$render" --l 3 --m -2 --stats)" -l 3 -m -2 --stats
"$render" -l 1 -m 2 --stats >/dev/null 2>"$work/err" || fail "|m| > l exited $?"
grep -q "warning" "$work/err" || fail "|m| > l gave no warning"
# The coarse-grid warning's boundary: Y(4, -3) needs 2L + 1 = 9 rows and 4M = 12 columns, one fewer
# of either warns.
for grid in "9 12 no" "8 12 yes" "9 11 yes" "10 13 no"; do
  read -r rows columns warns <<<"$grid"
  "$render" -l 4 -m -3 --theta "$rows" --phi "$columns" --stats >/dev/null 2>"$work/err" || fail "--theta $rows exited $?"
  if grep -q "too coarse" "$work/err"; then said=yes; else said=no; fi
  [ "$said" = "$warns" ] || fail "--theta $rows --phi $columns: coarse-grid warning '$said', want '$warns'"
done
[[ "$("$render" --version)" =~ ^lobara-render\ [0-9]+\.[0-9]+ ]] || fail "--version: $("$render" --version)"
help=$("$render" --help) || fail "--help exited $?"
for word in --l --m --theta --phi --scheme --from --to --size --stats --values --out --title --orbital \
  --table-labels --table-polynomials --table-scale \
  'theta_i = i\*pi/(nT-1)' 'phi_j = 2\*pi\*j/nP' '(-1)^m' 'sin(m\*phi)'; do
  grep -q -- "$word" <<<"$help" || fail "--help does not mention $word"
done

# Values: little-endian doubles in vertex order; l = 0 is N(0,0) everywhere.
"$render" --l 0 --theta 3 --phi 4 --values "$work/v.bin" || fail "--values exited $?"
[ "$(stat -c %s "$work/v.bin")" -eq 96 ] || fail "values file is not 12 doubles"
first=$(od -An -t x1 -N 8 "$work/v.bin" | tr -d ' \n')
[ "$first" = "$(printf '%s' '6e9b4250d70dd23f')" ] || fail "first value bytes $first, want N(0,0) little-endian"

expect_usage_error "--bogus" --bogus --stats
expect_usage_error "--l" --l abc --stats
expect_usage_error "--theta" --theta 1.5 --stats
expect_usage_error "--phi" --phi 99999999999 --stats
expect_usage_error "--m" --stats --m
expect_usage_error "--values" --values ""
expect_usage_error "--stats" --l 3

# A build beyond the limits fails cleanly, at once, and writes nothing.
timeout 10 "$render" --l 2147483647 --values "$work/big.bin" 2>"$work/err"; rc=$?
[ $rc -eq 1 ] || fail "absurd l exited $rc, want 1"
[ ! -e "$work/big.bin" ] || fail "absurd l left a values file"
timeout 10 "$render" --theta 2147483647 --phi 2147483647 --stats >/dev/null 2>&1; rc=$?
[ $rc -eq 1 ] || fail "absurd counts exited $rc, want 1"

# Pictures: a PNG of the asked size; bad picture options write nothing.
"$render" --l 1 --m -1 --scheme 4 --from=2,-3,1.5 --to 0,0,0.1 --size 64x48 --out "$work/p.png" ||
  fail "--out exited $?"
header=$(od -An -t x1 -j 12 -N 12 "$work/p.png" | tr -d ' \n')
[ "$header" = "494844520000004000000030" ] || fail "PNG header $header, want IHDR 64x48"
expect_usage_error "--size" --size 0x10 --out "$work/q.png"
expect_usage_error "--size" --size 800 --out "$work/q.png"
expect_usage_error "--scheme" --scheme 7 --out "$work/q.png"
expect_usage_error "--from" --from 1,2 --out "$work/q.png"
expect_usage_error "--to" --to 1,nan,2 --out "$work/q.png"
expect_usage_error "--from" --from 0,0,0 --to 0,0,0 --out "$work/q.png"
expect_usage_error "--l" --l +-3 --stats
expect_usage_error "--supersample" --supersample 5 --out "$work/q.png"
expect_usage_error "--supersample" --size 8000x10 --supersample 3 --out "$work/q.png"
expect_usage_error "--background" --background grey --out "$work/q.png"
expect_usage_error "--mesh" --mesh "$work/q.vtk"
expect_usage_error "--table" --table 2 -l 3 --out "$work/q.png"
expect_usage_error "--size" --table 3 --size 6x4 --out "$work/q.png"
expect_usage_error "--size" --table 3 --size 60x40 --table-labels harmonics --out "$work/q.png"
expect_usage_error "--table-labels" --table 3 --table-labels names --out "$work/q.png"
expect_usage_error "--table" --table-labels harmonics --out "$work/q.png"
expect_usage_error "--table-polynomials" --table 3 --table-polynomials --out "$work/q.png"
expect_usage_error "--table-scale" --table 3 --table-scale same --out "$work/q.png"
expect_usage_error "--title" --title $'\xff' --out "$work/q.png"
expect_usage_error "--out" --title "A title" --stats
expect_usage_error "--orbital" --orbital p_w --stats
expect_usage_error "--orbital" --orbital sp3:5 --stats
expect_usage_error "--orbital" --orbital d_xy -l 2 --stats
expect_usage_error "--orbital" --orbital d_xy --term 1,0,1 --stats
expect_usage_error "--orbital" --table 2 --orbital s --out "$work/q.png"
expect_usage_error "--out" --turntable 3
expect_usage_error "--color" --color hue --out "$work/q.png"
expect_usage_error "--colormap" --color value --colormap jet --out "$work/q.png"
expect_usage_error "--colormap" --colormap viridis --out "$work/q.png"
expect_usage_error "--range" --color value --range 1,-1 --out "$work/q.png"
expect_usage_error "--range" --color phase --range -1,1 --out "$work/q.png"
expect_usage_error "--complex" --complex --coeffs "$work/none.txt" --stats
expect_usage_error "sign" --complex --color sign --out "$work/q.png"
expect_usage_error "--map" --map robinson --out "$work/q.png"
expect_usage_error "--map" --map ortho --values "$work/q.npy"
expect_usage_error "--theta" --map ortho --theta 9 --out "$work/q.png"
expect_usage_error "--smooth" --table 2 --smooth --out "$work/q.png"
# A frame name holds one integer field and nothing else printf would read.
for pattern in q.png 'q%s.png' 'q%d%d.png' 'q%n.png' 'q%.3d.png' 'q%123d.png' 'q%ld.png'; do
  expect_usage_error "field" --turntable 3 --out "$work/$pattern"
done
[ -z "$(ls "$work" | grep '^q')" ] || fail "a refused picture left a file: $(ls "$work")"
"$render" --theta 3 --phi 4 --size 8x8 --turntable 2 --out "$work/s%%%+03d.png" || fail "turntable exited $?"
[ -s "$work/s%+00.png" ] && [ -s "$work/s%+01.png" ] || fail "turntable frame names: $(ls "$work")"
"$render" --out /nonexistent-dir/p.png 2>"$work/err"; rc=$?
[ $rc -eq 1 ] || fail "unwritable picture exited $rc, want 1"

"$render" --values /nonexistent-dir/v.bin 2>"$work/err"; rc=$?
[ $rc -eq 1 ] || fail "unwritable path exited $rc, want 1"

if [ $failures -ne 0 ]; then echo "$failures failed"; exit 1; fi
echo "lobara-render: all checks passed"
