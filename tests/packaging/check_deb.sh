#!/usr/bin/env bash
# The Debian package's tests, one command each:
#   check_deb.sh build CPACK CPACK_CONFIG OUT   makes the package in OUT
#   check_deb.sh contents OUT VERSION DESKTOP_ID METAINFO
#       unpacks it, checks its fields and what it installs, then starts the
#       unpacked program through its link in /usr/games in a virtual X
#       display and waits for the main window; the window's title and the
#       word lists' names come from the file WIRLEP_E2E_LAYOUT names
#   check_deb.sh lintian OUT                    lintian finds nothing
#   check_deb.sh piuparts OUT                   installs, upgrades and purges
#                                               it in a fresh Debian chroot
set -euo pipefail

# What the program said goes with a failure, once it has started.
fail() {
  echo "FAIL: $*" >&2
  [ ! -s "${RUN:-}/program.log" ] || sed 's/^/  /' "$RUN/program.log" >&2
  exit 1
}

# Ending what was started and the X display: shared with the other scripts
# that start the program.
# shellcheck source=SCRIPTDIR/../common.sh
source "$(dirname "${BASH_SOURCE[0]}")/../common.sh"

# --- Build the package -------------------------------------------------------
# build CPACK CPACK_CONFIG OUT: makes the one .deb in OUT, anew.
if [ "${1:-}" = build ]; then
  [ $# -eq 4 ] || fail "usage: $0 build CPACK CPACK_CONFIG OUT"
  out=$4
  rm -rf "$out"
  mkdir -p "$out"
  if ! "$2" --config "$3" -G DEB -B "$out" >"$out/cpack.log" 2>&1; then
    cat "$out/cpack.log" >&2
    fail "cpack could not build the package"
  fi
  rm -rf "$out/_CPack_Packages"
  debs=("$out"/*.deb)
  [ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "expected one .deb, got: ${debs[*]}"
  echo "package: ${debs[0]}"
  exit 0
fi

the_deb() {
  local debs=("$1"/*.deb)
  [ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "no package in $1 (the deb-build test makes it)"
  echo "${debs[0]}"
}

# --- lintian, as a Debian maintainer runs it ---------------------------------
# lintian OUT: no tag at all, down to pedantic ones, but those overridden
# with a reason in the package's lintian-overrides.
if [ "${1:-}" = lintian ]; then
  deb=$(the_deb "$2")
  command -v lintian >/dev/null || fail "lintian is missing (scripts/setup.sh installs it)"
  lintian --pedantic --display-info --display-experimental \
    --fail-on error,warning,info,pedantic,experimental "$deb" \
    || fail "lintian found the above in $(basename "$deb")"
  echo "lintian: no tags"
  exit 0
fi

# --- piuparts: install, remove and purge in a fresh Debian -------------------
# piuparts OUT: in a minimal chroot made by debootstrap from the archive apt
# uses here. Needs root; without it (and without sudo that asks nothing),
# the test is skipped.
if [ "${1:-}" = piuparts ]; then
  deb=$(the_deb "$2")
  command -v piuparts >/dev/null || fail "piuparts is missing (scripts/setup.sh installs it)"
  sudo=()
  if [ "$(id -u)" -ne 0 ]; then
    sudo -n true 2>/dev/null || { echo "piuparts needs root: skipped"; exit 77; }
    sudo=(sudo -n)
  fi
  read -r mirror suite < <("$(dirname "$0")/../../scripts/apt-sources.sh" mirror) \
    || fail "no Debian archive in apt's sources"
  # The upgrade too: the package as built, from a repository of its own, is
  # installed first, then the same files with a higher version. An edit to a
  # word list in between must outlast the upgrade; it is then undone, as
  # piuparts' debsums takes it for a fault. Purge must leave nothing behind.
  up=$2/upgrade log=$2/piuparts.log newer=$(dpkg-deb -f "$deb" Version)+1
  rm -rf "$up" "$log" && mkdir -p "$up/repo" "$up/scripts" && cp "$deb" "$up/repo"
  (cd "$up/repo" && dpkg-scanpackages . >Packages 2>/dev/null)
  dpkg-deb -R "$deb" "$up/tree"
  sed -i "s/^Version: .*/Version: $newer/" "$up/tree/DEBIAN/control"
  dpkg-deb --root-owner-group -b "$up/tree" "$up/wirlep_$newer.deb" >/dev/null
  script=$up/scripts/post_install_edit
  list=$(dpkg-deb -I "$deb" conffiles | head -n 1)
  [ -n "$list" ] || fail "the package has no conffiles"
  printf '#!/bin/sh\nl=%s\ncase $PIUPARTS_TEST.$PIUPARTS_PHASE in\n%s\n%s\nesac\n' "$list" \
    'upgrade.install) cp $l /var/tmp/original && echo zelfgekozen >$l ;;' \
    'upgrade.upgrade) grep -qx zelfgekozen $l && mv /var/tmp/original $l ;;' >"$script"
  chmod +x "$script"
  "${sudo[@]}" piuparts --distribution "$suite" --mirror "$mirror main" --log-file "$log" \
    --bindmount "$up/repo" --extra-repo "deb [trusted=yes] file://$up/repo ./" \
    --scriptsdir "$up/scripts" "$up/wirlep_$newer.deb" >/dev/null 2>&1 \
    || { tail -40 "$log" >&2; fail "piuparts failed on $(basename "$deb")"; }
  [ "$(grep -Ec 'PASS: (All tests|Installation, upgrade and purging tests)\.' "$log")" = 2 ] \
    || { tail -20 "$log" >&2; fail "piuparts did not pass"; }
  tail -1 "$log"
  exit 0
fi

# --- What the package holds ----------------------------------------------------
# contents OUT VERSION DESKTOP_ID METAINFO
[ "${1:-}" = contents ] && [ $# -eq 5 ] \
  || fail "usage: $0 build|lintian|piuparts|contents ... (see the top of this script)"
deb=$(the_deb "$2")
version=$3
desktop_id=$4
metainfo=$5
load_layout

for tool in dpkg-deb file Xvfb xdotool; do
  command -v "$tool" >/dev/null || fail "$tool is missing (scripts/setup.sh installs it)"
done

work=$(mktemp -d "${TMPDIR:-/tmp}/wirlep-deb.XXXXXX")
RUN=$work TIMEOUT_MS=20000 APP_PID='' XVFB_PID=''
trap 'stop "$APP_PID" "$XVFB_PID"; rm -rf "$work"' EXIT
echo "package: $(basename "$deb")"
[[ $(basename "$deb") == wirlep_"$version"_*.deb ]] || fail "unexpected file name $(basename "$deb")"

root=$work/root
dpkg-deb -x "$deb" "$root"

# --- The package's fields ---------------------------------------------------
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = wirlep ] || fail "Package is '$(field Package)'"
[ "$(field Version)" = "$version" ] || fail "Version is '$(field Version)', not $version"
[ "$(field Section)" = games ] || fail "Section is '$(field Section)'"
[ -n "$(field Maintainer)" ] || fail "no Maintainer"
[ -n "$(field Description)" ] || fail "no Description"
depends=$(field Depends)
echo "Depends: $depends"
for package in libqt6core6 libqt6gui6 libqt6widgets6 fonts-dejavu-core fonts-liberation2; do
  # A name in the comma-separated list, maybe with a version or alternatives.
  grep -Eq "(^|[,|] *)$package( |,|\$)" <<<"$depends" || fail "Depends lacks $package"
done
[ "$(field Recommends)" = qt6-wayland ] || fail "Recommends is '$(field Recommends)'"

# --- What it installs -------------------------------------------------------
# The word lists are its conffiles, all in one folder of /etc.
conffiles=$(dpkg-deb -I "$deb" conffiles)
lists=$(sed 's,/[^/]*$,,' <<<"$conffiles" | sort -u)
[[ $lists == /etc/* && $lists != *$'\n'* ]] || fail "the conffiles are not in one folder of /etc: $conffiles"
[ "$(sed 's,.*/,,' <<<"$conffiles" | sort)" = "$(printf '%s\n' "${LIST_FILES[@]}" | sort)" ] \
  || fail "the conffiles are not the word lists: $conffiles"
outside=$(dpkg-deb -c "$deb" | awk '{print $6}' | grep -Ev "^\./(usr/.*|etc/|${lists#/}/.*)?\$" || true)
[ -z "$outside" ] || fail "files outside /usr and $lists: $outside"

program=$root/usr/lib/games/wirlep/wirlep
link=$root/usr/games/wirlep
[ -L "$link" ] || fail "usr/games/wirlep is not a symlink"
[ "$(readlink "$link")" = ../lib/games/wirlep/wirlep ] \
  || fail "usr/games/wirlep points at $(readlink "$link")"
[ -f "$program" ] && [ ! -L "$program" ] && [ -x "$program" ] \
  || fail "usr/lib/games/wirlep/wirlep is not an executable file"
[ -z "$(file -b "$program" | grep -i 'not stripped')" ] || fail "the program is not stripped"

expect_file() {
  [ -f "$root/$1" ] && [ -s "$root/$1" ] || fail "$1 is missing or empty"
}
for list in "${LIST_FILES[@]}"; do
  # Linked from beside the program. To start it below, the links are then
  # pointed into the unpacked tree.
  expect_file "$lists/$list"
  [ "$(readlink "$root/usr/lib/games/wirlep/$list")" = "$lists/$list" ] \
    || fail "usr/lib/games/wirlep/$list is not a link to $lists/$list"
  ln -sfn "$root$lists/$list" "$root/usr/lib/games/wirlep/$list"
done
[ ! -e "$root/usr/share/games/wirlep" ] || fail "the package still has usr/share/games/wirlep"
expect_file "usr/share/applications/$desktop_id"
expect_file "usr/share/metainfo/$metainfo"
grep -q "<launchable type=\"desktop-id\">$desktop_id</launchable>" \
  "$root/usr/share/metainfo/$metainfo" || fail "the metainfo does not launch $desktop_id"
for size in 16 32 48 64 128 256; do
  expect_file "usr/share/icons/hicolor/${size}x${size}/apps/wirlep.png"
done
expect_file usr/share/icons/hicolor/scalable/apps/wirlep.svg
expect_file usr/share/doc/wirlep/copyright
expect_file usr/share/doc/wirlep/changelog.gz
expect_file usr/share/man/man6/wirlep.6.gz

# --- Start it ---------------------------------------------------------------
# The real program on the X display, whatever the caller's test setting. A
# word list it cannot read brings up a message box before the main window.
start_display
(cd / && QT_QPA_PLATFORM=xcb exec "$link") >"$RUN/program.log" 2>&1 &
APP_PID=$!
main_not_box() {
  [ -z "$(titled "$BOX_TITLE")" ] || fail "the program showed a message box"
  window_shown "$MAIN_TITLE"
}
wait_for "main window '$MAIN_TITLE'" main_not_box
# Nothing else comes up a moment later either.
holds_for 1000 "no message box" window_gone "$BOX_TITLE"
program_running || fail "the program ended"
echo "ok"
