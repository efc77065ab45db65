#!/bin/sh
# korvane-cli of the program folder, in the caller's current folder.
prog=$(readlink -f "$(dirname "$(readlink -f "$0")")/../../opt/korvane")
exec "$prog/korvane-cli" "$@"
