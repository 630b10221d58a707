#!/usr/bin/env bash
# The folders of src/ include only from their own layer's folder or from layers below:
# model and resources, then the platform layer, then dialogs and view, then the application.
set -u
src=$1
declare -A layer=([surface]=0 [settings]=0 [resources]=0 [platform]=1 [dialogs]=2 [view]=2 [app]=3)
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
