#!/usr/bin/env bash
# Releases one commit twice (scripts/release.sh; SOURCE's, with its changes to
# tracked files) and compares the two byte for byte, diffoscope showing any
# difference. The second differs in its folders, the time (later, its files
# dated anew), umask 077 not 022, time zone UTC+14 not UTC, and a Dutch locale
# not C; and the Windows program may hold no path of the builder's Qt for Windows.
# Skipped without WINDOWS_ZIP, and so Qt for Windows, or failed if "required".
#   check_reproducible.sh SOURCE WINDOWS_ZIP [required]
set -euo pipefail
fail() {
  echo "FAIL: $*" >&2
  exit 1
}
# shellcheck source=SCRIPTDIR/../common.sh
source "$(dirname "${BASH_SOURCE[0]}")/../common.sh"
source=$1 required=${3:-}
cannot() {
  [ "$required" != required ] || fail "$*"
  echo "$*: skipped"
  exit 77
}
needs "$required" git diffoscope localedef
[ -f "$2" ] || cannot "no $2, nor Qt for Windows (scripts/build-windows.sh makes both)"
work=$(mktemp -d "${TMPDIR:-/tmp}/wirlep-reproducible.XXXXXX")
trap 'rm -rf "$work"' EXIT
localedef -i nl_NL -f UTF-8 "$work/nl_NL.UTF-8" || cannot "no Dutch locale (the locales package)"
commit=$(git -C "$source" stash create)
commit=${commit:-$(git -C "$source" rev-parse HEAD)}

# release FOLDER: the commit checked out in FOLDER/src, released into its release/.
release() {
  git clone -q --shared --no-checkout "$source" "$1/src"
  git -C "$1/src" checkout -q --detach "$commit"
  TMPDIR=$1 "$1/src/scripts/release.sh" >"$1/log" 2>&1 || fail "release.sh: $(tail -40 "$1/log")"
}
mkdir -p "$work/one" "$work/other/two"
log "releasing in $work/one, then in $work/other/two"
(umask 022 && TZ=UTC0 LC_ALL=C release "$work/one")
(umask 077 && export LOCPATH=$work && TZ=UTC-14 LC_ALL=nl_NL.UTF-8 release "$work/other/two")

one=$work/one/src/release two=$work/other/two/src/release
(cd "$one" && sha256sum --check --quiet SHA256SUMS) || fail "the first release fails its SHA256SUMS"
cat "$one/SHA256SUMS"
# Both releases share the builder's home folder, where Qt for Windows is
# kept: no path of it may reach the program, or a builder with another home
# would get other bytes.
caches=${XDG_CACHE_HOME:-$HOME/.cache}/wirlep
unzip -p "$one"/wirlep-*-windows-x64.zip '*/wirlep.exe' >"$work/wirlep.exe" || fail "no wirlep.exe in the zip"
if grep -aqF "$caches" "$work/wirlep.exe"; then fail "wirlep.exe holds a path of $caches"; fi
cmp -s "$one/SHA256SUMS" "$two/SHA256SUMS" && { log "the same bytes"; exit 0; }
while read -r _ name; do
  cmp -s "$one/$name" "$two/$name" || diffoscope "$one/$name" "$two/$name" || true
done <"$one/SHA256SUMS"
fail "two releases of one commit differ (diffoscope's report above)"
