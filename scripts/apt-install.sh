#!/usr/bin/env bash
# Installs the named Debian packages that are not installed yet, with apt
# (through sudo when not root). A package the release does not have is
# skipped with a note: callers that need it fail later and say so.
# Usage: scripts/apt-install.sh PACKAGE...
set -euo pipefail

missing=()
for p in "$@"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q '^install ok installed$' || missing+=("$p")
done
((${#missing[@]})) || exit 0

sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
"${sudo[@]}" apt-get update -qq
known=()
for p in "${missing[@]}"; do
  if apt-cache show "$p" >/dev/null 2>&1; then
    known+=("$p")
  else
    echo "apt-install.sh: no package $p in this release; skipping it" >&2
  fi
done
((${#known[@]})) || exit 0
echo "Installing: ${known[*]}"
"${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${known[@]}"
