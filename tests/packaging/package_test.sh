#!/usr/bin/env bash
# Checks what the two packages hold, unpacked into a temporary root: the programs, the
# game data, the desktop entries (desktop-file-validate), the metainfo (appstreamcli),
# the icons in every size, the manual pages, the service (systemd-analyze verify), and
# that lintian finds neither an error nor a warning in them.
# Usage: package_test.sh PACKAGE_FOLDER
set -euo pipefail
source "$(dirname "$0")/../support/xvfb.sh"
source "$(dirname "$0")/unpack.sh"

packages=$(realpath "$1")
unpack_packages "$packages"
share="$root/usr/share"

for program in quendle quendlehost; do
  [ -x "$root/usr/games/$program" ] || fail "$program is not in usr/games"
  entry="$share/applications/org.quendle.$program.desktop"
  desktop-file-validate "$entry" || fail "$entry is not a valid desktop entry"
  grep -qx "Exec=$program" "$entry" || fail "$entry does not start $program"
  grep -qx "Icon=$program" "$entry" || fail "$entry does not show the $program icon"
  appstreamcli validate --no-net "$share/metainfo/org.quendle.$program.metainfo.xml" ||
    fail "the metainfo of $program is not valid"
  for size in 16 24 32 48 64 128 256; do
    icon="$share/icons/hicolor/${size}x$size/apps/$program.png"
    # A PNG's width and height are the big-endian words at bytes 16 and 20.
    read -r -a bytes < <(od -An -tu1 -j16 -N8 "$icon" 2>/dev/null) || fail "no $icon"
    width=$(((bytes[2] << 8) | bytes[3]))
    height=$(((bytes[6] << 8) | bytes[7]))
    [ "$width x $height" = "$size x $size" ] || fail "$icon is $width x $height"
  done
  page="$share/man/man6/$program.6.gz"
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 "$page" 2>&1 >/dev/null) ||
    fail "$page does not render"
  [ -z "$warnings" ] || fail "$page: $warnings"
  [ -s "$share/doc/$program/copyright" ] || fail "$program has no copyright file"
done

for file in brambleduck.bmp levels/maps/main.lvl images/bg/main.bmp images/sprites/TOVI.bmp \
  images/sprites/psi.bmp images/sprites/RADAR.bmp sounds/Music.wav sounds/Whop2.wav; do
  [ -s "$share/games/quendle/$file" ] || fail "the game data lacks $file"
done
[ "$(find "$share/games/quendle/levels/maps" -name '*.lvl' | wc -l)" -eq 10 ] || fail "not ten levels"
[ -z "$(find "$root" -iname brambleduck.ini)" ] || fail "a settings file is in the package"

# Installed, not enabled: no maintainer script, nothing under /etc.
for package in "$packages"/*.deb; do
  mkdir "$work/control"
  dpkg-deb -e "$package" "$work/control"
  for script in preinst postinst prerm postrm; do
    [ ! -e "$work/control/$script" ] || fail "$(basename "$package") has a $script"
  done
  rm -rf "$work/control"
done
[ ! -e "$root/etc" ] || fail "the packages write into /etc"

# systemd-analyze checks that the program exists and that its manual page is found:
# both are those of the unpacked root.
unit="$root/usr/lib/systemd/system/quendlehost.service"
grep -qx 'ExecStart=/usr/games/quendlehost' "$unit" || fail "the service does not start /usr/games/quendlehost"
sed "s|^ExecStart=/|ExecStart=$root/|" "$unit" >"$work/quendlehost.service"
MANPATH="$share/man" systemd-analyze verify "$work/quendlehost.service" 2>"$work/verify.err" ||
  fail "systemd-analyze verify failed"
[ ! -s "$work/verify.err" ] || fail "systemd-analyze verify: $(cat "$work/verify.err")"

lintian --fail-on error,warning "$packages"/*.deb ||
  fail "lintian found errors or warnings"
echo "package_test: passed"
