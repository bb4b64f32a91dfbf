#!/usr/bin/env bash
# guide-pictures.sh GUIDE IMAGES [--all-used]
# Checks that every picture the user guide shows (images/NAME.png in its Markdown or its HTML) is a
# file in the folder IMAGES, so that a renamed or lost picture is caught. With --all-used, also
# that every picture in IMAGES is shown by the guide (none is kept that the guide dropped).
set -euo pipefail
guide=$1 images=$2 all_used=${3:-}
[ -f "$guide" ] || { echo "FAILED: no guide $guide" >&2; exit 1; }
mapfile -t shown < <(grep -o 'images/[A-Za-z0-9._-]*\.png' "$guide" | sed 's|^images/||' | sort -u)
[ ${#shown[@]} -gt 0 ] || { echo "FAILED: $guide shows no pictures" >&2; exit 1; }
status=0
for name in "${shown[@]}"; do
  if [ ! -f "$images/$name" ]; then
    echo "FAILED: $guide shows images/$name, which is not in $images" >&2
    status=1
  fi
done
if [ "$all_used" = --all-used ]; then
  # Looked up in a table rather than through a pipe into grep -q, whose early exit can make the
  # writing side fail under pipefail and a shown picture look unused.
  declare -A is_shown
  for name in "${shown[@]}"; do
    is_shown["$name"]=1
  done
  for file in "$images"/*.png; do
    name="$(basename "$file")"
    if [ -z "${is_shown[$name]:-}" ]; then
      echo "FAILED: $images/$name is not shown by $guide (scripts/screenshots --guide removes it)" >&2
      status=1
    fi
  done
fi
[ $status -eq 0 ] && echo "${#shown[@]} pictures of $guide are in $images"
exit $status
