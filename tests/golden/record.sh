#!/usr/bin/env bash
# Records the korvane-cli output of every run of runs.txt into runs/NAME.json.
# usage: tests/golden/record.sh BUILD_DIR
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
cli=$(cd "$1" && pwd)/tools/korvane-cli
# Start-up makes every formula and interface file; the runs get them all beginning with '#'.
names=$(mktemp -d)
(cd "$names" && "$cli" 102 >/dev/null)
grep -v '^#' "$here/runs.txt" | while IFS='|' read -r name args formula; do
  name=$(echo "$name" | xargs)
  dir=$(mktemp -d)
  cp "$here/../../data/CoreList.xls" "$dir/"
  for f in "$names"/*" cfg.txt" "$names"/*" Interface.txt"; do printf '#' >"$dir/$(basename "$f")"; done
  # A third field is the text of the CCM formula file.
  [ -n "${formula:-}" ] && printf "$(echo "$formula" | sed 's/^ //')" >"$dir/CCM反激变换器 cfg.txt"
  # shellcheck disable=SC2086
  (cd "$dir" && eval "\"$cli\" $args") >"$here/runs/$name.json"
  rm -rf "$dir"
done
rm -rf "$names"
