#!/bin/sh
# Starts K7350 in the user's own folder, where its project files go by default.
set -e
prog=$(dirname "$(readlink -f "$0")")/../../opt/korvane
prog=$(readlink -f "$prog")
home=${XDG_DATA_HOME:-$HOME/.local/share}/korvane
mkdir -p "$home"
cd "$home"
exec "$prog/K7350/K7350" "$@"
