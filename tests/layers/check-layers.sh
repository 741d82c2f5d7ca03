#!/usr/bin/env bash
# The layers hold: a file includes only its own folder and the folders below it, and nothing in
# engines/ knows Qt. Prints every include that points upward and fails when there is one.
# Usage: check-layers.sh <source root>
set -uo pipefail
cd "${1:?source root}" || exit 2

# What each folder may include besides itself, bottom to top.
declare -A below=(
  [platform]=""
  [framework]="platform"
  [controls]="platform framework"
  [engines]="platform engines"
  [settings]="platform framework controls engines"
  [playback]="platform framework controls engines"
  [recording]="platform framework controls engines settings playback"
  [schedule]="platform framework controls engines settings playback recording"
  [app]="platform framework controls engines settings playback recording schedule assets"
  [assets]=""
  [tools]=""
)

upward=0
for folder in "${!below[@]}"; do
  [ -d "$folder" ] || continue
  allowed=" $folder ${below[$folder]} "
  while IFS= read -r hit; do
    file=${hit%%:*}
    rest=${hit#*:}
    line=${rest%%:*}
    target=$(sed -E 's/.*#include "([^"]+)".*/\1/' <<<"${rest#*:}")
    [[ $target == */* ]] || continue # beside the including file
    top=${target%%/*}
    if [[ $top == .. || $allowed != *" $top "* ]]; then
      echo "$file:$line includes $target: $folder/ may use only itself and: ${below[$folder]:-nothing}"
      upward=$((upward + 1))
    fi
  done < <(grep -rnE '^\s*#\s*include\s+"' "$folder" --include='*.h' --include='*.cpp')
done

while IFS= read -r hit; do
  echo "$hit: engines/ knows no Qt"
  upward=$((upward + 1))
done < <(grep -rnE '^\s*#\s*include\s+<Q' engines --include='*.h' --include='*.cpp')

if [ "$upward" -ne 0 ]; then
  echo "$upward include(s) against the layers"
  exit 1
fi
echo "layers hold: every include points down or sideways within its folder"
