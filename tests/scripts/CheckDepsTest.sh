#!/usr/bin/env bash
# A list without libgsf-1-dev must fail and name libgsf-1-dev and the line to add.
set -uo pipefail
src=$1
build=$2
list=$(mktemp)
trap 'rm -f "$list"' EXIT
sed 's/\blibgsf-1-dev\b//' "$src/scripts/install-deps" >"$list"
grep -q 'libgsf-1-dev' "$list" && { echo "could not take libgsf-1-dev out of the list"; exit 1; }
out=$("$src/scripts/check-deps" "$build" --list "$list" 2>&1)
rc=$?
echo "$out"
[ $rc -eq 1 ] || { echo "expected exit 1, got $rc"; exit 1; }
echo "$out" | grep -q 'add this line to the packages list of scripts/install-deps: *libgsf-1-dev$' ||
  { echo "libgsf-1-dev not named"; exit 1; }
echo "$out" | grep -q '/usr/include/libgsf-1/' || { echo "no libgsf header named"; exit 1; }
