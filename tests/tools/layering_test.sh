#!/usr/bin/env bash
# The folders under each given root (src/, tools/ and python/) include only from their own folder or from
# layers below: names, resources and the infrastructure (arrays, threads, vectors); then the picture value and the harmonic maths; then HEALPix pixels,
# geodesy, colour and the surface's mesh; then where fields come from, maps, the viewer's settings, the camera,
# the interactive page and the platform layer; then the file writers, the drawing, hydrogen-like orbitals and the text of pictures; then
# plots of numbers with their words, dialogs and view; then the options with their readers and rules; then the
# pipeline of runs; then the front ends (lobara-render and the Python package's bindings) and the application. No two units (a .h with its .cpp) include each other, however indirectly.
# Nothing below the drawing includes a wx or GL header, and the drawing and the pipeline no wx
# header.
set -u
declare -A layer=([names]=0 [resources]=0 [infra]=0 [picture]=1 [sht]=1 [healpix]=2 [fields]=3 [geodesy]=2 [colour]=2 [mesh]=2 [maps]=3
  [settings]=3 [camera]=3 [export]=4 [page]=3 [platform]=3 [render]=4 [hydrogen]=4 [text]=4 [plots]=5 [dialogs]=5 [view]=5
  [options]=6 [jobs]=7 [lobara-render]=8 [bindings]=8 [app]=8)
failures=0
edges=$(mktemp)
trap 'rm -f "$edges"' EXIT
for root in "$@"; do
  while IFS=: read -r file _ include; do
    path=${file#"$root"/}
    from=${path%%/*}
    target=$(sed -E 's/.*#include "([^"]+)".*/\1/' <<<"$include")
    to=${target%%/*}
    [ "${path%.*}" = "${target%.*}" ] || echo "${path%.*} ${target%.*}" >>"$edges"
    [ -n "${layer[$to]+x}" ] || continue
    if [ -z "${layer[$from]+x}" ]; then
      echo "FAIL: $file: folder '$from' has no layer"; failures=$((failures + 1))
    elif [ "$from" != "$to" ] && [ "${layer[$to]}" -ge "${layer[$from]}" ]; then
      echo "FAIL: $file includes from '$to', which is not below '$from'"; failures=$((failures + 1))
    fi
  done < <(grep -rn --include='*.h' --include='*.cpp' -E '^#include "[^/"]+/' "$root")
done
while IFS=: read -r file _ include; do
  echo "FAIL: $file: $include"; failures=$((failures + 1))
done < <(cd "$1" && grep -rn -E '^#include <(wx|GL|EGL)/' names infra picture sht fields healpix colour mesh maps settings \
           camera export page text
         grep -rn -E '^#include <wx/' render jobs)
if ! tsort "$edges" >/dev/null 2>"$edges.loop"; then
  echo "FAIL: units include each other: $(grep -v 'input contains a loop' "$edges.loop" | tr '\n' ' ')"
  failures=$((failures + 1))
fi
rm -f "$edges.loop"
[ $failures -eq 0 ] && echo "layering: every include runs downward, and none runs in a circle"
exit $((failures != 0))
