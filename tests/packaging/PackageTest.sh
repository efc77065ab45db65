#!/usr/bin/env bash
# Builds the Debian package, unpacks it into a scratch root and starts the
# programs from there: korvane-cli and k7350-cli through their PATH
# launchers, and Korvane itself, which seeds the user's folder.
set -uo pipefail
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "package test: $*"; exit 1; }

(cd "$build" && cpack -G DEB -B "$work/out" >"$work/cpack.log" 2>&1) || { cat "$work/cpack.log"; fail "cpack failed"; }
deb=$(ls "$work"/out/korvane_*.deb 2>/dev/null | head -1)
[ -n "$deb" ] || fail "no package made"
depends=$(dpkg-deb -f "$deb" Depends)
for need in fonts-noto-cjk fonts-arphic-ukai qt6-qpa-plugins libqt6widgets6 libqt6charts6 libgsf-1-114; do
  echo "$depends" | grep -q "$need" || fail "Depends lacks $need: $depends"
done
root=$work/root
dpkg -x "$deb" "$root" || fail "dpkg -x failed"
for f in opt/korvane/Korvane opt/korvane/korvane-cli opt/korvane/K7350/K7350 opt/korvane/K7350/K7350.uir \
         opt/korvane/K7350/k7350-cli opt/korvane/CoreList.xls "opt/korvane/Korvane帮助.html" \
         "opt/korvane/Code/反激变换器.JPG" usr/bin/korvane usr/bin/k7350 usr/bin/korvane-cli usr/bin/k7350-cli \
         usr/share/icons/hicolor/256x256/apps/korvane.png usr/share/icons/hicolor/256x256/apps/k7350.png; do
  [ -e "$root/$f" ] || fail "package lacks /$f"
done
desktop-file-validate "$root"/usr/share/applications/korvane.desktop "$root"/usr/share/applications/k7350.desktop ||
  fail "desktop entries do not validate"

# The command-line drivers from the PATH launchers, in a folder of the user's.
cd "$work" && mkdir run && cd run
printf '#' >"CCM反激变换器 cfg.txt"
printf '#' >"Flyback Interface.txt"
out=$("$root/usr/bin/korvane-cli" 129 --set 1029=52.5 --set 1031=57.5 --press 4) || fail "korvane-cli failed"
echo "$out" | grep -q '"1034": {"text": "79"' || fail "korvane-cli designed no flyback: $out"
"$root/usr/bin/korvane-cli" 102 >/dev/null || fail "korvane-cli could not run the launcher"
[ -e "RCC cfg.txt" ] || fail "korvane-cli did not work in the caller's folder"
out=$("$root/usr/bin/k7350-cli" --commit 18:calcola) || fail "k7350-cli failed"
echo "$out" | grep -q '"18"' || fail "k7350-cli showed no main panel: $out"

# Korvane seeds the user's folder on its first start and runs there.
export XDG_DATA_HOME=$work/data QT_QPA_PLATFORM=offscreen KORVANE_STARTUP_PROBE=1
timeout 60 "$root/usr/bin/korvane" >"$work/start.log" 2>&1 || { cat "$work/start.log"; fail "Korvane did not start"; }
grep -q "splash_ms=" "$work/start.log" || fail "Korvane showed no launcher: $(cat "$work/start.log")"
home=$XDG_DATA_HOME/korvane
for f in CoreList.xls System.cfg "Flyback Interface.txt" "RCC cfg.txt"; do
  [ -e "$home/$f" ] || fail "the user's folder lacks $f"
done
[ -w "$home/CoreList.xls" ] || fail "the seeded workbook is not the user's"
echo "package test: $(basename "$deb") unpacked and started"
