#!/bin/bash
# Every program answers the same command line: --help, --version, an unknown option and a
# missing argument, with the right streams and exit codes. The dialog programs answer
# without a display, and before they touch anything.
#   command_line.sh VERSION WORK_DIR NAME=PROGRAM:MISSING... 
# MISSING is the arguments (split at commas) that lack an argument, and the message
# expected for them after "NAME: ".
set -u
version=$1 work=$2
shift 2
export LC_ALL=C
# No display can be reached: a dialog program that created its window system would fail.
unset DISPLAY WAYLAND_DISPLAY
export QT_QPA_PLATFORM=xcb SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy

failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

rm -rf "$work"
mkdir -p "$work/prefix"
export ZOLVANE_PREFIX=$work/prefix
cd "$work" || exit 1

# run PROGRAM ARGS...: sets status, out and err.
run() {
  "$@" > "$work/out" 2> "$work/err"
  status=$?
  out=$(cat "$work/out")
  err=$(cat "$work/err")
}

for entry in "$@"; do
  name=${entry%%=*} rest=${entry#*=}
  program=${rest%%:*} missing=${rest#*:}
  missing_args=${missing%%:*} missing_message=${missing#*:}
  IFS=, read -r -a missing_args <<< "$missing_args"

  run "$program" --help
  [ $status -eq 0 ] || fail "$name --help: exit status $status"
  [[ $out == "usage: $name "* ]] || fail "$name --help: standard output does not start with the usage: '$out'"
  [ -z "$err" ] || fail "$name --help wrote to standard error: '$err'"
  usage=$out

  run "$program" --version
  [ $status -eq 0 ] || fail "$name --version: exit status $status"
  [ "$out" = "$name (Zolvane SDK) $version" ] || fail "$name --version printed '$out'"
  [ -z "$err" ] || fail "$name --version wrote to standard error: '$err'"

  # --help wins over the options after it, and is not taken for an option's value's place.
  run "$program" --help --no-such-option
  [ $status -eq 0 ] && [ "$out" = "$usage" ] || fail "$name --help --no-such-option: status $status"

  run "$program" --no-such-option
  [ $status -eq 2 ] || fail "$name --no-such-option: exit status $status"
  [ -z "$out" ] || fail "$name --no-such-option wrote to standard output: '$out'"
  [ "$(head -n 1 "$work/err")" = "$name: unknown option --no-such-option" ] \
    || fail "$name --no-such-option: first line '$(head -n 1 "$work/err")'"
  [ "$(tail -n +2 "$work/err")" = "$usage" ] || fail "$name --no-such-option: the usage does not follow"

  run "$program" "${missing_args[@]}"
  [ $status -eq 2 ] || fail "$name ${missing_args[*]}: exit status $status"
  [ -z "$out" ] || fail "$name ${missing_args[*]} wrote to standard output: '$out'"
  [ "$(head -n 1 "$work/err")" = "$name: $missing_message" ] \
    || fail "$name ${missing_args[*]}: first line '$(head -n 1 "$work/err")', expected '$name: $missing_message'"
  [ "$(tail -n +2 "$work/err")" = "$usage" ] || fail "$name ${missing_args[*]}: the usage does not follow"
done

# Nothing was written on the way: no Start menu, no registry, no files.
[ -z "$(ls -A "$work/prefix")" ] || fail "a program wrote into its prefix: $(ls -A "$work/prefix")"
[ "$(ls -A "$work")" = "$(printf 'err\nout\nprefix')" ] || fail "a program left files in its folder: $(ls -A "$work")"

[ $failures -eq 0 ] || exit 1
echo "command line of $# programs checked"
rm -rf "$work"
