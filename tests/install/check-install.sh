#!/usr/bin/env bash
# Installs a built tree into a fresh prefix and checks it as a desktop would find it: the files in
# place, the menu entry valid, the starter starting the program, and set.ini going to the user's
# configuration folder because the installed program's folder is not writable.
#   check-install.sh BUILD_DIR VERSION
set -euo pipefail
build=$1
version=$2

work=$(mktemp -d)
chmod 755 "$work"
pid=""
cleanup() {
  [ -n "$pid" ] && kill "$pid" 2>/dev/null || true
  chmod -R u+w "$work" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; exit 1; }

prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" >"$work/install.log" || { cat "$work/install.log"; fail "cmake --install"; }

# The program's folder holds everything it finds beside itself.
private=$prefix/lib/kestrune
for f in kestrune ti.ico ti_rec.ico ti_rec_p.ico ti_play.ico ti_play_p.ico help.html \
         help/screenshot.png help/recording.png help/playing.png help/settings.png help/queue.png; do
  [ -f "$private/$f" ] || fail "missing lib/kestrune/$f"
done
[ -x "$private/kestrune" ] || fail "lib/kestrune/kestrune is not executable"
# Every picture the help page shows is there, at every density it names.
for picture in $(grep -oE '(src|srcset)="[^" ]*' "$private/help.html" | sed -E 's/^(src|srcset)="//'); do
  [ -f "$private/$picture" ] || fail "help.html shows $picture, which is not installed"
done

# The starter on PATH is the program itself.
[ -x "$prefix/bin/kestrune" ] || fail "no bin/kestrune"
[ "$(readlink -f "$prefix/bin/kestrune")" = "$(readlink -f "$private/kestrune")" ] || fail "bin/kestrune does not start lib/kestrune/kestrune"
[ "$("$prefix/bin/kestrune" --version)" = "kestrune $version" ] || fail "bin/kestrune --version"

# The menu entry: valid, starting the starter, with an icon the theme has at every size.
entry=$prefix/share/applications/io.github.kestrune.Kestrune.desktop
[ -f "$entry" ] || fail "no share/applications/io.github.kestrune.Kestrune.desktop"
desktop-file-validate "$entry" || fail "desktop-file-validate"
grep -qx "Exec=$prefix/bin/kestrune %f" "$entry" || fail "Exec is not the installed starter"
grep -qx "Icon=kestrune" "$entry" || fail "Icon is not kestrune"
grep -qx "Categories=AudioVideo;Audio;Recorder;" "$entry" || fail "Categories"
# What software centres show: valid, of the same id as the menu entry, of this version.
metainfo=$prefix/share/metainfo/io.github.kestrune.Kestrune.metainfo.xml
[ -f "$metainfo" ] || fail "no share/metainfo/io.github.kestrune.Kestrune.metainfo.xml"
appstreamcli validate --no-net "$metainfo" >"$work/appstream.log" 2>&1 || { cat "$work/appstream.log"; fail "appstreamcli validate"; }
grep -q "<launchable type=\"desktop-id\">${entry##*/}</launchable>" "$metainfo" || fail "the metainfo launches another menu entry"
grep -q "<release version=\"$version\"" "$metainfo" || fail "the metainfo has no release $version"
for size in 16 22 24 32 48 64 128 256; do
  icon=$prefix/share/icons/hicolor/${size}x${size}/apps/kestrune.png
  [ -f "$icon" ] || fail "no ${size}x${size} icon"
  # A PNG's width and height are the big-endian words at bytes 16 and 20.
  read -r w h < <(od -An -tu1 -j16 -N8 "$icon" | awk '{print $1*16777216+$2*65536+$3*256+$4, $5*16777216+$6*65536+$7*256+$8}')
  [ "$w x $h" = "$size x $size" ] || fail "the ${size}x${size} icon is $w x $h"
done

# Started by a user who may not write in the program's folder (root may write anywhere, so it
# runs as nobody), with a home and a configuration folder of its own.
chmod -R a-w "$private"
user_home=$work/home
mkdir -p "$user_home/config"
run=()
if [ "$(id -u)" -eq 0 ]; then
  chown -R 65534:65534 "$user_home"
  run=(setpriv --reuid=65534 --regid=65534 --clear-groups)
fi
environment=(env -i PATH="$PATH" HOME="$user_home" XDG_CONFIG_HOME="$user_home/config"
  XDG_RUNTIME_DIR="$user_home" QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy)
settings=$user_home/config/kestrune/set.ini
"${run[@]}" "${environment[@]}" "$prefix/bin/kestrune" --help | grep -qF "$settings" || fail "--help does not name $settings"

"${run[@]}" "${environment[@]}" "$prefix/bin/kestrune" >"$work/kestrune.log" 2>&1 &
pid=$!
sleep 2
kill -0 "$pid" 2>/dev/null || { cat "$work/kestrune.log"; fail "the installed program did not keep running"; }
kill -TERM "$pid"
status=0
wait "$pid" || status=$?
pid=""
[ "$status" -eq 0 ] || { cat "$work/kestrune.log"; fail "the installed program ended with $status"; }
[ -f "$settings" ] || { cat "$work/kestrune.log"; fail "no set.ini in the configuration folder"; }
grep -q '^\[set\]' "$settings" || fail "set.ini holds no settings"
[ ! -e "$private/set.ini" ] || fail "set.ini was written into the program's folder"
echo "Installed into a fresh prefix: files in place, menu entry valid, the program starts and keeps set.ini in the configuration folder"
