#!/usr/bin/env bash
# malformed.sh CASES EXPECTED QMR...
#
# Each line of CASES (blank lines and lines starting with # aside) is one
# case: a script given to `qmr run -` on standard input, a tab separating
# its lines, or, after "$ ", the arguments of a qmr command line.  The
# transcript of every case (the case, what qmr wrote to standard output
# and standard error, its exit status) is compared byte for byte with the
# file EXPECTED by golden.sh.
set -u
cases=$1 expected=$2
shift 2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

while IFS= read -r case || [ -n "$case" ]; do
  case $case in '' | '#'*) continue ;; esac
  if [[ $case == '$ '* ]]; then
    eval "words=(${case#\$ })"
    "$@" "${words[@]}" </dev/null >"$work/out" 2>&1
  else
    printf '%s\n' "$case" | tr '\t' '\n' | "$@" run - >"$work/out" 2>&1
  fi
  status=$?
  printf '%s\n' "$case"
  tr -d '\r' <"$work/out"
  printf 'exit %d\n\n' "$status"
done <"$cases" >"$work/transcript"

"$BASH" "$(dirname "$0")/golden.sh" "$expected" "$work/transcript" cat
