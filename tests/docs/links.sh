#!/bin/sh
# Every relative link of the README and of the pages in docs/ names a file that exists,
# so that a page renamed or removed does not leave readers at a dead end.
#   links.sh SOURCE_DIR
set -eu
# Every program here runs in the C locale: nothing read from one is translated.
export LC_ALL=C
root=$1
broken=0
checked=0
for page in "$root/README.md" "$root"/docs/*.md "$root"/tools/wizard/README.md; do
  [ -f "$page" ] || continue
  dir=$(dirname "$page")
  # Targets of inline links [text](target), without #anchors; web links are not checked.
  for target in $(grep -o '](\([^)#]*\)' "$page" | sed 's/^](//'); do
    case "$target" in
      http://*|https://*|mailto:*|'') continue ;;
    esac
    checked=$((checked + 1))
    if [ ! -e "$dir/$target" ]; then
      echo "BROKEN: ${page#$root/} links to $target"
      broken=$((broken + 1))
    fi
  done
done
[ "$checked" -gt 0 ] || { echo "FAILED: no links found"; exit 1; }
[ "$broken" -eq 0 ] || { echo "FAILED: $broken broken link(s) of $checked"; exit 1; }
echo "links: $checked checked, none broken"
