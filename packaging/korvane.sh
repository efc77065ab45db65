#!/bin/sh
# Starts Korvane in the user's own folder: the program folder is read-only,
# and Korvane keeps its settings, formula and interface files and the core
# workbook in its current folder. The first start seeds that folder.
set -e
prog=$(dirname "$(readlink -f "$0")")/../../opt/korvane
prog=$(readlink -f "$prog")
home=${XDG_DATA_HOME:-$HOME/.local/share}/korvane
mkdir -p "$home"
[ -e "$home/CoreList.xls" ] || cp "$prog/CoreList.xls" "$home/"
cd "$home"
exec "$prog/Korvane" "$@"
