#!/bin/sh
# Makes the API reference from the engine header into a temporary folder and checks it:
# Doxygen must finish without a single warning, and the reference must have a page for
# each of the five public classes listing their operations.
#   api_reference.sh DOXYGEN DOXYFILE   (exit 77: Doxygen is not installed)
set -eu
# Every program here runs in the C locale: nothing read from one is translated.
export LC_ALL=C
doxygen=$1
doxyfile=$2
if [ -z "$doxygen" ] || ! command -v "$doxygen" >/dev/null 2>&1; then
  echo "SKIPPED: Doxygen is not installed (Debian package doxygen)"
  exit 77
fi
work=$(mktemp -d /tmp/zolv-docs-api-XXXXXX)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAILED: $*"; exit 1; }

# The project's configuration with the output and the warning log moved here.
{ cat "$doxyfile"
  echo "OUTPUT_DIRECTORY = \"$work\""
  echo "WARN_LOGFILE = \"$work/warnings.log\""
  echo "WARN_AS_ERROR = NO"
} > "$work/Doxyfile"
(cd "$work" && "$doxygen" Doxyfile > "$work/doxygen.out" 2>&1) || { cat "$work/doxygen.out"; fail "doxygen exited with $?"; }
if [ -s "$work/warnings.log" ]; then
  cat "$work/warnings.log"
  fail "Doxygen warned about the engine header ($(wc -l < "$work/warnings.log") lines above)"
fi

html="$work/api"
[ -f "$html/index.html" ] || fail "no index.html"
# Each public class has its page, reachable from the class index, documented from the
# header's own comments and listing some of its operations.
check() {
  class=$1; shift
  page="$html/class$class.html"
  [ -f "$page" ] || fail "no page for $class"
  grep -q "class$class.html" "$html/annotated.html" || fail "$class is not in the class index"
  for member in "$@"; do
    grep -q ">$member<" "$page" || fail "$class's page does not list $member"
  done
}
check CZController NewL SpriteChannelAllocate LoadMovieListL LoadFileMovieListL ElementTextAdd Start
check CZScript FrameBeginL FrameEndL KeyEventL Decrypt
check CZElement Type Name
check CZSprite Loc Blend Transition
check CZView Update DrawView
# The comments turned into documentation reach the pages.
grep -q "the developer's script" "$html/classCZScript.html" || fail "CZScript's description is missing"
grep -q "one object through which an application drives the engine" "$html/classCZController.html" \
  || fail "CZController's description is missing"
grep -q "Frame-based 2D multimedia engine" "$html/index.html" || fail "the main page is missing"
# The header's short section titles inside a class head member groups; they document no
# single operation.
grep -q '>Movie control<' "$html/classCZController.html" || fail "CZController's member groups are missing"
if grep -q 'mdescRight">Engine\.' "$html/classCZController.html"; then
  fail "a section title became an operation's documentation"
fi
echo "api reference: 5 classes checked, no warnings"
