#!/usr/bin/env bash
# Packs the Windows zip and the Debian package so that one commit gives the
# same bytes in any folder, at any time, under any umask, time zone or
# locale, and by any user:
#   pack.sh settle PATH...   gives each PATH, and what a folder holds, its
#                            owner's permissions less writing for the others
#                            (644, or 755 for programs and folders, whatever
#                            the umask or a setgid folder it was built in)
#                            and, when SOURCE_DATE_EPOCH is set,
#                            that time
#   pack.sh zip FOLDER ZIP   settles FOLDER (relative to the current folder)
#                            and packs it into ZIP: its entries in byte
#                            order, without owners or extra time fields
#                            (zip -X), their times written in UTC
#   pack.sh deb DEB          packs the .deb CPack made again, settled, with
#                            dpkg-deb: root owns each member, whose order and
#                            dates (SOURCE_DATE_EPOCH) dpkg-deb fixes; CPack
#                            gives its archives the permissions the umask leaves
# The installer stores the time of each file it takes: it is built from the
# zip's folder once settled, and from a settled copy of its picture.
set -euo pipefail

settle() {
  chmod -R u+rw,go=u-w,ug-s "$@"
  [ -z "${SOURCE_DATE_EPOCH:-}" ] || find "$@" -exec touch -h -d "@$SOURCE_DATE_EPOCH" {} +
}

case ${1:-} in
settle)
  shift
  settle "$@"
  ;;
zip)
  settle "$2"
  rm -f "$3"
  find "$2" | LC_ALL=C sort | TZ=UTC0 zip -X -9 -q -@ "$3"
  ;;
deb)
  tree=$(mktemp -d "${TMPDIR:-/tmp}/wirlep-deb.XXXXXX")
  trap 'rm -rf "$tree"' EXIT
  dpkg-deb --raw-extract "$2" "$tree/root"
  settle "$tree/root"
  dpkg-deb --root-owner-group --build "$tree/root" "$2" >/dev/null
  ;;
*)
  echo "usage: $0 settle PATH... | zip FOLDER ZIP | deb DEB" >&2
  exit 2
  ;;
esac
