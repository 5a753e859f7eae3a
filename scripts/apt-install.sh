#!/usr/bin/env bash
# Installs the named Debian packages that are not installed yet, with apt
# (through sudo when not root). Every package named before --optional is
# needed: one the release does not have stops the script at once, rather
# than as a puzzling build error later. Those after --optional are left
# out with a note when the release lacks them (the build then says what it
# leaves out).
# Usage: scripts/apt-install.sh PACKAGE... [--optional PACKAGE...]
set -euo pipefail

opt=0 optional=() missing=()
for p in "$@"; do
  if [ "$p" = --optional ]; then
    opt=1
    continue
  fi
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q '^install ok installed$' && continue
  if ((opt)); then optional+=("$p"); else missing+=("$p"); fi
done
((${#missing[@]} + ${#optional[@]})) || exit 0

sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
"${sudo[@]}" apt-get update -qq
known=()
for p in "${missing[@]}"; do
  apt-cache show "$p" >/dev/null 2>&1 \
    || { echo "apt-install.sh: this release has no package $p, which is needed" >&2; exit 1; }
  known+=("$p")
done
for p in "${optional[@]}"; do
  if apt-cache show "$p" >/dev/null 2>&1; then
    known+=("$p")
  else
    echo "apt-install.sh: no package $p in this release; leaving it out" >&2
  fi
done
((${#known[@]})) || exit 0
echo "Installing: ${known[*]}"
"${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${known[@]}"
