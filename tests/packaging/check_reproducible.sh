#!/usr/bin/env bash
# Makes a release twice from one commit (scripts/release.sh) and compares the
# two byte for byte; where they differ, diffoscope shows how.
#   check_reproducible.sh SOURCE WINDOWS_ZIP [required]
# The commit is SOURCE's, with its uncommitted changes to tracked files
# (git stash create). The second release differs from the first in all that
# must not matter: its folders, the time (later; each checks the commit out
# anew, so every file's time differs too), the umask (077, not 022), the time
# zone (UTC+14, not UTC) and the locale (Dutch, made by localedef, not C).
# Without a Windows build here (WINDOWS_ZIP, which build-windows.sh makes
# with Qt for Windows, then cached) it is skipped, or fails when "required".
set -euo pipefail

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# shellcheck source=SCRIPTDIR/../common.sh
source "$(dirname "${BASH_SOURCE[0]}")/../common.sh"

[ $# -ge 2 ] || fail "usage: $0 SOURCE WINDOWS_ZIP [required]"
source=$1 required=${3:-}
needs "$required" git diffoscope localedef
if [ ! -f "$2" ]; then
  [ "$required" = required ] && fail "$2 is missing: scripts/build-windows.sh makes it"
  echo "$2 is missing, and with it Qt for Windows: skipped (scripts/build-windows.sh makes both)"
  exit 77
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/wirlep-reproducible.XXXXXX")
trap 'rm -rf "$work"' EXIT
commit=$(git -C "$source" stash create)
commit=${commit:-$(git -C "$source" rev-parse HEAD)}

# release FOLDER: the commit checked out in FOLDER/src and released into
# FOLDER/release, its build in FOLDER too.
release() {
  git clone -q --shared --no-checkout "$source" "$1/src"
  git -C "$1/src" checkout -q --detach "$commit"
  TMPDIR=$1 "$1/src/scripts/release.sh" "$1/release" >"$1/release.log" 2>&1 \
    || { tail -40 "$1/release.log" >&2; fail "release.sh failed in $1"; }
}

log "first release, in $work/one"
mkdir -p "$work/one" "$work/other/two"
(umask 022 && export TZ=UTC0 LC_ALL=C && release "$work/one")
log "second release, in $work/other/two"
localedef -i nl_NL -f UTF-8 "$work/nl_NL.UTF-8"
(umask 077 && export LOCPATH=$work TZ=UTC-14 && export LC_ALL=nl_NL.UTF-8 \
  && release "$work/other/two")

one=$work/one/release two=$work/other/two/release
(cd "$one" && sha256sum --check --quiet SHA256SUMS) || fail "the first release fails its SHA256SUMS"
cat "$one/SHA256SUMS"
[ "$(ls "$one")" = "$(ls "$two")" ] || fail "the releases hold different files: $(ls "$one") / $(ls "$two")"
differ=0
while read -r _ name; do
  cmp -s "$one/$name" "$two/$name" && continue
  differ=1
  diffoscope "$one/$name" "$two/$name" || true
done <"$one/SHA256SUMS"
((differ == 0)) || fail "two releases of one commit differ (diffoscope's report above)"
log "the two releases are the same, byte for byte"
