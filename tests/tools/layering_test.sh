#!/usr/bin/env bash
# The folders under each given root (src/ and tools/) include only from their own folder or from
# layers below: the model (surface) and resources; then the viewer's settings, the camera, the
# outputs and the platform layer; then the drawing and the text of pictures; then dialogs, view
# and lobara-render; then the application. No two units (a .h with its .cpp) include each other, however indirectly.
# The model, settings, camera, outputs and text include no wx or GL header, the drawing no wx
# header.
set -u
declare -A layer=([surface]=0 [resources]=0 [settings]=1 [camera]=1 [export]=1 [platform]=1 [render]=2
  [text]=2 [dialogs]=3 [view]=3 [lobara-render]=3 [app]=4)
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
done < <(cd "$1" && grep -rn -E '^#include <(wx|GL|EGL)/' surface settings camera export text
         grep -rn -E '^#include <wx/' render)
if ! tsort "$edges" >/dev/null 2>"$edges.loop"; then
  echo "FAIL: units include each other: $(grep -v 'input contains a loop' "$edges.loop" | tr '\n' ' ')"
  failures=$((failures + 1))
fi
rm -f "$edges.loop"
[ $failures -eq 0 ] && echo "layering: every include runs downward, and none runs in a circle"
exit $((failures != 0))
