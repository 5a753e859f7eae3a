#!/usr/bin/env bash
# Makes a release of the commit the checkout is at: the Debian package, the
# Windows zip and installer, and SHA256SUMS, their checksums.
#
#   scripts/release.sh [FOLDER]   -> FOLDER (or $WIRLEP_RELEASE, or release/ here)
#
# A checkout with uncommitted changes (a file git tracks changed, or a file
# it neither tracks nor ignores) stops it: a release is of a commit alone. It
# builds in a clone of that commit in a temporary folder, so that nothing else
# of the working tree gets in (the source archive in the zip included), with
# the release preset and scripts/build-windows.sh. Every date in the packages
# is SOURCE_DATE_EPOCH, the commit's date unless set, so that the same commit
# built again, anywhere, gives the same bytes: the README says how to check.
set -euo pipefail
top=$(realpath "$(dirname "$0")/..")
# A folder given is taken from where the command was given.
out=$(realpath -m "${1:-${WIRLEP_RELEASE:-$top/release}}")
cd "$top"

changes=$(git status --porcelain)
if [ -n "$changes" ]; then
  echo "release.sh: the checkout has uncommitted changes; commit them, or stash them, first:" >&2
  echo "$changes" >&2
  exit 1
fi
commit=$(git rev-parse HEAD)
export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct)}

work=$(mktemp -d "${TMPDIR:-/tmp}/wirlep-release.XXXXXX")
trap 'rm -rf "$work"' EXIT
git clone -q --shared --no-checkout . "$work/src"
git -C "$work/src" checkout -q --detach "$commit"
cd "$work/src"

# The Debian package (CPack's DEB generator calls dpkg-shlibdeps), then the
# Windows programs.
scripts/setup.sh release all
scripts/apt-install.sh dpkg-dev
cpack --config build-release/CPackConfig.cmake -G DEB -B "$work/deb" >"$work/cpack.log" \
  || { cat "$work/cpack.log" >&2; exit 1; }
WIRLEP_WINDOWS_OUT=$PWD/build-windows scripts/build-windows.sh

# What an earlier release made goes; the folder itself may be the user's.
mkdir -p "$out"
rm -f "$out/SHA256SUMS" "$out"/wirlep_*.deb "$out"/wirlep-*-{windows-x64.zip,setup.exe}
cp "$work"/deb/wirlep_*.deb build-windows/wirlep-*-{windows-x64.zip,setup.exe} "$out/"
cd "$out"
sha256sum wirlep_*.deb wirlep-*-{windows-x64.zip,setup.exe} >SHA256SUMS
echo "Released $commit into $out:"
cat SHA256SUMS
