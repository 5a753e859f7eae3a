#!/usr/bin/env bash
# Reads the machine's own apt configuration, so that no archive address is
# ever written into the project.
#
# Usage:
#   scripts/apt-sources.sh mirror    prints "URI SUITE" of the Debian archive
#                                    apt installs this release's packages from
#   scripts/apt-sources.sh deb-src   makes sure apt can fetch source packages:
#                                    adds a deb-src entry for every enabled deb
#                                    entry, if there is none yet (through sudo
#                                    when not root)
set -euo pipefail

lists=(/etc/apt/sources.list /etc/apt/sources.list.d/*.list)
stanzas=(/etc/apt/sources.list.d/*.sources)
own=/etc/apt/sources.list.d/wirlep-deb-src.sources

# Every entry as one line: "TYPE URI SUITE COMPONENT...", one line per suite.
entries() {
  for f in "${lists[@]}"; do
    [ -f "$f" ] || continue
    # One-line style; an option block "[ ... ]" is dropped.
    sed -E -e 's/#.*//' -e 's/\[[^]]*\]//' "$f" | awk '$1 == "deb" || $1 == "deb-src"'
  done
  for f in "${stanzas[@]}"; do
    [ -f "$f" ] || continue
    awk 'BEGIN { RS = ""; FS = "\n" }
      {
        delete v
        for (i = 1; i <= NF; i++) {
          if ($i ~ /^#/ || $i !~ /:/) continue
          key = tolower(substr($i, 1, index($i, ":") - 1))
          v[key] = substr($i, index($i, ":") + 1)
        }
        if (tolower(v["enabled"]) ~ /no/) next
        nt = split(v["types"], types, " "); nu = split(v["uris"], uris, " ")
        ns = split(v["suites"], suites, " ")
        for (t = 1; t <= nt; t++) for (u = 1; u <= nu; u++) for (s = 1; s <= ns; s++)
          print types[t], uris[u], suites[s], v["components"]
      }' "$f"
  done
}

codename() {
  # shellcheck disable=SC1091
  . /etc/os-release
  echo "${VERSION_CODENAME:?no VERSION_CODENAME in /etc/os-release}"
}

case "${1:-}" in
mirror)
  suite=$(codename)
  # The whole list is read (no early exit, which would cut the pipe short).
  line=$(entries | awk -v s="$suite" '!found && $1 == "deb" && $3 == s && / main( |$)/ {
    found = $2 " " $3 } END { print found }')
  [ -n "$line" ] || { echo "apt-sources.sh: no deb entry for $suite main in apt's sources" >&2; exit 1; }
  echo "$line"
  ;;
deb-src)
  if entries | awk '$1 == "deb-src" { found = 1 } END { exit !found }'; then
    exit 0
  fi
  sudo=()
  [ "$(id -u)" -eq 0 ] || sudo=(sudo)
  new=$(mktemp -d)
  trap 'rm -rf "$new"' EXIT
  # The same entries with the same options (Signed-By, say), as deb-src.
  for f in "${stanzas[@]}"; do
    [ -f "$f" ] && [ "$f" != "$own" ] || continue
    awk 'BEGIN { RS = ""; ORS = "\n\n" }
      /(^|\n)Types:[^\n]*deb/ && !/(^|\n)Enabled: *no/ { sub(/Types:[^\n]*/, "Types: deb-src"); print }' "$f"
  done >"$new/stanzas"
  for f in "${lists[@]}"; do
    [ -f "$f" ] && [ "$f" != "${own%.sources}.list" ] || continue
    sed -n -E 's/^[[:space:]]*deb[[:space:]]/deb-src /p' "$f"
  done >"$new/lines"
  [ -s "$new/stanzas" ] && "${sudo[@]}" cp "$new/stanzas" "$own"
  [ -s "$new/lines" ] && "${sudo[@]}" cp "$new/lines" "${own%.sources}.list"
  "${sudo[@]}" apt-get update -qq
  ;;
*)
  echo "usage: $0 mirror|deb-src" >&2
  exit 2
  ;;
esac
