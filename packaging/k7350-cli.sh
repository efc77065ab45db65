#!/bin/sh
# k7350-cli of the program folder, in the caller's current folder.
prog=$(readlink -f "$(dirname "$(readlink -f "$0")")/../../opt/korvane")
exec "$prog/K7350/k7350-cli" "$@"
