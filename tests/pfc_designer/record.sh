#!/usr/bin/env bash
# Records the k7350-cli output of every run of runs.txt into runs/NAME.json;
# with --check compares instead and fails on the first difference.
# usage: tests/pfc_designer/record.sh [--check] BUILD_DIR
set -euo pipefail
check=0
if [ "${1:-}" = --check ]; then check=1; shift; fi
here=$(cd "$(dirname "$0")" && pwd)
cli=$(cd "$1" && pwd)/tools/k7350-cli
status=0
grep -v '^#' "$here/runs.txt" | { while IFS='|' read -r name args; do
  name=$(echo "$name" | xargs)
  dir=$(mktemp -d)
  # shellcheck disable=SC2086
  (cd "$dir" && "$cli" $args) >"$dir/out.json"
  if [ "$check" = 1 ]; then
    if ! cmp -s "$dir/out.json" "$here/runs/$name.json"; then
      echo "recorded run $name differs:"; cmp "$here/runs/$name.json" "$dir/out.json" || true
      status=1
    fi
  else
    cp "$dir/out.json" "$here/runs/$name.json"
  fi
  rm -rf "$dir"
done; exit $status; }
