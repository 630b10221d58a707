#!/usr/bin/env bash
# The folders of src/ include only from their own layer's folder or from layers below: the
# model (surface) and resources; then the viewer's settings, the camera, the outputs and the
# platform layer; then the drawing; then dialogs and view; then the application.
set -u
src=$1
declare -A layer=([surface]=0 [resources]=0 [settings]=1 [camera]=1 [export]=1 [platform]=1 [render]=2
  [dialogs]=3 [view]=3 [app]=4)
failures=0
while IFS=: read -r file _ include; do
  from=${file#"$src"/}; from=${from%%/*}
  to=$(sed -E 's/.*#include "([^/"]+)\/.*/\1/' <<<"$include")
  [ -n "${layer[$to]+x}" ] || continue
  if [ -z "${layer[$from]+x}" ]; then
    echo "FAIL: $file: folder '$from' has no layer"; failures=$((failures + 1))
  elif [ "$from" != "$to" ] && [ "${layer[$to]}" -ge "${layer[$from]}" ]; then
    echo "FAIL: $file includes from '$to', which is not below '$from'"; failures=$((failures + 1))
  fi
done < <(grep -rn --include='*.h' --include='*.cpp' -E '^#include "[^/"]+/' "$src")
[ $failures -eq 0 ] && echo "layering: every include runs downward"
exit $((failures != 0))
