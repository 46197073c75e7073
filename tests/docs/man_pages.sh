#!/bin/bash
# The manual pages: each renders with man and passes groff's checks without a warning, has
# the right name, and describes every option its program's --help names.
#   man_pages.sh MAN_DIR NAME=PROGRAM...
set -u
dir=$1
shift
export LC_ALL=C MANWIDTH=80
unset MANPAGER PAGER
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
work=$(mktemp -d) || exit 1
trap 'rm -rf "$work"' EXIT

for entry in "$@"; do
  name=${entry%%=*} program=${entry#*=}
  page=$dir/$name.1.gz
  [ -f "$page" ] || { fail "no manual page $page"; continue; }
  gzip -dc "$page" > "$work/$name.1" || { fail "$page is not gzip data"; continue; }

  groff -man -ww -z "$work/$name.1" > "$work/groff.out" 2>&1 || fail "groff failed on $name.1"
  [ -s "$work/groff.out" ] && { fail "groff warns about $name.1:"; cat "$work/groff.out" >&2; }
  # The check Debian's tools run on installed pages.
  man --warnings -E UTF-8 -l -Tutf8 -Z "$page" > /dev/null 2> "$work/man.err" || fail "man -Z failed on $name.1"
  [ -s "$work/man.err" ] && { fail "man warns about $name.1:"; cat "$work/man.err" >&2; }

  man -l "$page" > "$work/text" 2> "$work/man.err" || fail "man -l failed on $page"
  [ -s "$work/man.err" ] && { fail "man -l $name.1 wrote:"; cat "$work/man.err" >&2; }
  upper=$(printf '%s' "$name" | tr '[:lower:]' '[:upper:]')
  head -n 1 "$work/text" | grep -q "^$upper(1) " || fail "$name.1 is not headed $upper(1): $(head -n 1 "$work/text")"
  grep -A1 '^NAME' "$work/text" | grep -q -E "^ *$name(, +[^ ]+)* +- +." || fail "$name.1 has no 'NAME - description' line"
  for section in SYNOPSIS DESCRIPTION OPTIONS "EXIT STATUS"; do
    grep -q "^$section\$" "$work/text" || fail "$name.1 has no section $section"
  done
  # The options of the usage, each described on the page.
  "$program" --help > "$work/help" 2>&1 || fail "$name --help failed"
  options=$(grep -o -E '(^|[][ |,])--?[a-zA-Z][a-zA-Z-]*' "$work/help" | sed 's/^[][ |,]//' | sort -u)
  [ -n "$options" ] || fail "no options found in $name --help"
  for option in $options --help --version; do
    grep -q -E "^ {7}(-[^ ]+, )*$option( |,|$)" "$work/text" || fail "$name.1 does not describe $option"
  done
done

[ $failures -eq 0 ] || exit 1
echo "$# manual pages checked"
