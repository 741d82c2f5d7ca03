#!/usr/bin/env bash
# The Debian package, as a desktop user meets it: made by CPack from this build tree, its
# control data and contents, lintian, then installed with apt-get on this machine, started
# (--version, and the window on a virtual display as a normal user, whose settings go to its
# configuration folder) and removed again with nothing of its own left behind.
# Needs root (it installs); exits 77 (skipped) otherwise.
#
# Usage: check-package.sh BUILD_DIR VERSION
set -uo pipefail
build=$1 version=$2
[ "$(id -u)" -eq 0 ] || { echo "check-package: SKIPPED: installing a package needs root"; exit 77; }
work=$(mktemp -d)
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done
  wait 2>/dev/null
  dpkg -s kestrune >/dev/null 2>&1 && apt-get remove -y kestrune >/dev/null 2>&1
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "check-package: FAILED: $*" >&2
  for log in "$work"/*.log; do [ -s "$log" ] && { echo "---- ${log##*/}" >&2; tail -n 40 "$log" >&2; }; done
  exit 1
}

# The package, from what this tree installs.
cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work/out" >"$work/cpack.log" 2>&1 || fail "cpack"
deb=$(ls "$work"/out/kestrune_*.deb 2>/dev/null | head -n 1)
[ -n "$deb" ] || fail "cpack made no kestrune_*.deb"
arch=$(dpkg --print-architecture)
[ "${deb##*/}" = "kestrune_${version}-1_${arch}.deb" ] || fail "named ${deb##*/}"

dpkg-deb --info "$deb" >"$work/info.log" || fail "dpkg-deb --info"
field() { dpkg-deb --field "$deb" "$1"; }
[ "$(field Package)" = kestrune ] || fail "Package: $(field Package)"
[ "$(field Version)" = "$version-1" ] || fail "Version: $(field Version)"
[ "$(field Architecture)" = "$arch" ] || fail "Architecture: $(field Architecture)"
[ "$(field Section)" = sound ] || fail "Section: $(field Section)"
field Maintainer | grep -q '<.*@.*>' || fail "Maintainer has no address: $(field Maintainer)"
for dependency in libqt6widgets6 libpulse0 libsdl2 libavcodec libavformat fonts-liberation; do
  field Depends | grep -q "$dependency" || fail "Depends lacks $dependency: $(field Depends)"
done
field Description | grep -q "records whatever the sound input delivers" || fail "Description"

dpkg-deb --contents "$deb" >"$work/contents.log" || fail "dpkg-deb --contents"
for path in ./usr/lib/kestrune/kestrune ./usr/lib/kestrune/help.html ./usr/lib/kestrune/ti.ico \
  ./usr/lib/kestrune/ti_rec.ico ./usr/lib/kestrune/help/recording.png ./usr/bin/kestrune \
  ./usr/share/applications/io.github.kestrune.Kestrune.desktop \
  ./usr/share/metainfo/io.github.kestrune.Kestrune.metainfo.xml \
  ./usr/share/icons/hicolor/48x48/apps/kestrune.png \
  ./usr/share/doc/kestrune/copyright ./usr/share/doc/kestrune/changelog.Debian.gz \
  ./usr/share/man/man1/kestrune.1.gz; do
  awk -v p="$path" '$6 == p { found = 1 } END { exit !found }' "$work/contents.log" || fail "the package lacks $path"
done
awk '$2 != "root/root" { bad = 1 } END { exit bad }' "$work/contents.log" || fail "files not owned by root"

lintian --fail-on error --tag-display-limit 0 "$deb" >"$work/lintian.log" 2>&1 || fail "lintian reports errors"
echo "lintian: $(grep -c '^W:' "$work/lintian.log") warning(s):"
grep '^W:' "$work/lintian.log" | sed 's/^/  /'

# Installed as the package manager installs it.
apt-get install -y --no-install-recommends "$deb" >"$work/apt-install.log" 2>&1 || fail "apt-get install"
[ "$(kestrune --version)" = "kestrune $version" ] || fail "kestrune --version says $(kestrune --version)"
dpkg -L kestrune >"$work/files.log"

# The window, started from the menu entry's command by a user who may not write in /usr.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
pids+=($!)
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || fail "Xvfb did not start"
home=$work/home
chmod 755 "$work"
mkdir -p "$home/run" && chmod 700 "$home/run" && chown -R 65534:65534 "$home"
exec_line=$(sed -n 's/^Exec=//p' /usr/share/applications/io.github.kestrune.Kestrune.desktop)
[ "$exec_line" = "/usr/bin/kestrune %f" ] || fail "the menu entry runs '$exec_line'"
setpriv --reuid=65534 --regid=65534 --clear-groups env -i PATH=/usr/bin:/bin HOME="$home" \
  XDG_RUNTIME_DIR="$home/run" DISPLAY=":$(cat "$work/display")" QT_QPA_PLATFORM=xcb SDL_AUDIODRIVER=dummy \
  /usr/bin/kestrune >"$work/kestrune.log" 2>&1 &
program=$!
pids+=($program)
shown=
# Polled closely: the signal then comes while the window is still being shown, which a
# program that watches for it too late does not survive.
for _ in $(seq 500); do
  shown=$(DISPLAY=":$(cat "$work/display")" xwininfo -root -tree 2>/dev/null | grep -c '"Kestrune"')
  [ "$shown" -gt 0 ] && break
  sleep 0.02
done
[ "$shown" -gt 0 ] || fail "the window did not show"
kill -TERM "$program"
wait "$program" || fail "kestrune ended with $? on SIGTERM"
[ -f "$home/.config/kestrune/set.ini" ] || fail "the settings are not in the user's configuration folder"

# Removed: nothing of its own is left.
apt-get remove -y kestrune >"$work/apt-remove.log" 2>&1 || fail "apt-get remove"
left=()
while read -r path; do
  [ -e "$path" ] || [ -L "$path" ] || continue
  [ -d "$path" ] && [ ! -L "$path" ] && case $path in /usr/lib/kestrune* | /usr/share/doc/kestrune) ;; *) continue ;; esac
  left+=("$path")
done <"$work/files.log"
[ ${#left[@]} -eq 0 ] || fail "left behind: ${left[*]}"
echo "PASS: ${deb##*/}: installed, --version, the window as a normal user, removed without a trace"
