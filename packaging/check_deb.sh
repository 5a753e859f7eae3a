#!/usr/bin/env bash
# Builds the Debian package from a finished build, unpacks it and checks what
# it installs, then starts the unpacked program through its bin/ symlink in a
# virtual X display and waits for the main window.
#
# Usage: check_deb.sh CPACK CPACK_CONFIG VERSION APP_ID DESKTOP_ID WORD_LIST...
set -euo pipefail

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# --- In the virtual display: start the program and watch its windows --------
if [ "${1:-}" = --window ]; then
  program=$2
  log=$3
  # The real program on the X display, whatever the caller's test setting.
  export QT_QPA_PLATFORM=xcb
  cd /
  "$program" >"$log" 2>&1 &
  pid=$!
  trap 'kill "$pid" 2>/dev/null || true; wait "$pid" 2>/dev/null || true' EXIT

  # A word list the program cannot read brings up a message box titled
  # "Wirlep" before the main window "Wirlep...." shows. Only windows on the
  # screen count: Qt's hidden client leader window carries the name too.
  has_window() { [ -n "$(xdotool search --onlyvisible --name "$1" 2>/dev/null || true)" ]; }
  shown=
  for _ in $(seq 100); do
    has_window '^Wirlep$' && fail "the program showed a message box: $(cat "$log")"
    if has_window '^Wirlep\.\.\.\.$'; then
      shown=yes
      break
    fi
    kill -0 "$pid" 2>/dev/null || fail "the program ended early: $(cat "$log")"
    sleep 0.2
  done
  [ -n "$shown" ] || fail "no main window \"Wirlep....\" within 20 seconds: $(cat "$log")"
  # Nothing else comes up a moment later either.
  sleep 1
  has_window '^Wirlep$' && fail "the program showed a message box: $(cat "$log")"
  kill -0 "$pid" 2>/dev/null || fail "the program ended: $(cat "$log")"
  echo "main window shown"
  exit 0
fi

# --- Build and unpack the package -------------------------------------------
[ $# -ge 6 ] || fail "usage: $0 CPACK CPACK_CONFIG VERSION APP_ID DESKTOP_ID WORD_LIST..."
cpack=$1
config=$2
version=$3
app_id=$4
desktop_id=$5
shift 5
word_lists=("$@")

for tool in dpkg-deb dpkg-shlibdeps file xvfb-run xdotool; do
  command -v "$tool" >/dev/null || fail "$tool is missing (scripts/setup.sh installs it)"
done

work=$(mktemp -d "${TMPDIR:-/tmp}/wirlep-deb.XXXXXX")
trap 'rm -rf "$work"' EXIT

if ! "$cpack" --config "$config" -G DEB -B "$work/out" >"$work/cpack.log" 2>&1; then
  cat "$work/cpack.log" >&2
  fail "cpack could not build the package"
fi
debs=("$work"/out/*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "expected one .deb, got: ${debs[*]}"
deb=${debs[0]}
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

# --- What it installs -------------------------------------------------------
outside=$(dpkg-deb -c "$deb" | awk '{print $6}' | grep -Ev '^\./(usr/.*)?$' || true)
[ -z "$outside" ] || fail "files outside /usr: $outside"

link=$root/usr/bin/wirlep
[ -L "$link" ] || fail "usr/bin/wirlep is not a symlink"
[ "$(readlink "$link")" = ../lib/wirlep/wirlep ] || fail "usr/bin/wirlep points at $(readlink "$link")"
[ "$(readlink -f "$link")" = "$(readlink -f "$root/usr/lib/wirlep/wirlep")" ] \
  || fail "usr/bin/wirlep does not resolve to usr/lib/wirlep/wirlep"
[ -f "$root/usr/lib/wirlep/wirlep" ] && [ -x "$root/usr/lib/wirlep/wirlep" ] \
  || fail "usr/lib/wirlep/wirlep is not an executable file"

expect_file() {
  [ -f "$root/$1" ] && [ -s "$root/$1" ] || fail "$1 is missing or empty"
}
for list in "${word_lists[@]}"; do
  expect_file "usr/lib/wirlep/$list"
done
expect_file "usr/share/applications/$desktop_id"
expect_file "usr/share/metainfo/$app_id.metainfo.xml"
grep -q "<launchable type=\"desktop-id\">$desktop_id</launchable>" \
  "$root/usr/share/metainfo/$app_id.metainfo.xml" || fail "the metainfo does not launch $desktop_id"
for size in 16 32 48 64 128 256; do
  expect_file "usr/share/icons/hicolor/${size}x${size}/apps/wirlep.png"
done
expect_file usr/share/icons/hicolor/scalable/apps/wirlep.svg
expect_file usr/share/doc/wirlep/copyright

# --- Start it ---------------------------------------------------------------
xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" --window "$link" "$work/program.log"
echo "ok"
