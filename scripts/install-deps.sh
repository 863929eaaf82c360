#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need. Idempotent: it
# does nothing when everything is already there.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-14-dev
  libsqlite3-dev sqlite3
  mdbtools
  mingw-w64 g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix
  wine wine64 xvfb xauth
  dpkg-dev tcl
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
fi

# The Windows build compiles SQLite from Debian's source package, which needs
# deb-src entries. They are derived from the machine's own Debian sources
# (the suites of this release), so no archive host is named here.
derive_deb_src() {
  local apt="${FENNICK_APT_DIR:-/etc/apt}" codename out tmp
  codename="${FENNICK_CODENAME:-$(. /etc/os-release && echo "${VERSION_CODENAME:-}")}"
  out="$apt/sources.list.d/fennick-deb-src.sources"
  [ -n "$codename" ] || return 0
  [ -f "$out" ] && return 0
  if grep -qsE '^(deb-src|Types:.*deb-src)' "$apt/sources.list" "$apt"/sources.list.d/*.list \
       "$apt"/sources.list.d/*.sources; then
    return 0
  fi
  tmp="$(mktemp)"
  # One-line entries: "deb [options] URI SUITE COMPONENTS...".
  for f in "$apt/sources.list" "$apt"/sources.list.d/*.list; do
    [ -f "$f" ] || continue
    awk -v cn="$codename" '
      $1 == "deb" {
        i = 2; opts = ""
        if ($2 ~ /^\[/) { while ($i !~ /\]$/) { opts = opts " " $i; i++ } opts = opts " " $i; i++ }
        uri = $i; suite = $(i + 1); comps = ""
        for (j = i + 2; j <= NF; j++) comps = comps " " $j
        if (index(suite, cn) != 1) next
        printf "Types: deb-src\nURIs: %s\nSuites: %s\nComponents:%s\n", uri, suite, comps
        if (match(opts, /signed-by=[^] ]+/))
          printf "Signed-By: %s\n", substr(opts, RSTART + 10, RLENGTH - 10)
        printf "\n"
      }' "$f" >>"$tmp"
  done
  # deb822 stanzas: keep those of type deb for this release, as deb-src.
  for f in "$apt"/sources.list.d/*.sources; do
    [ -f "$f" ] || continue
    awk -v cn="$codename" '
      function flush() {
        if (types ~ /(^| )deb( |$)/ && enabled !~ /^[Nn]o/ && suites != "") {
          n = split(suites, s, " "); keep = ""
          for (k = 1; k <= n; k++) if (index(s[k], cn) == 1) keep = keep " " s[k]
          if (keep != "") {
            printf "Types: deb-src\nURIs: %s\nSuites:%s\nComponents: %s\n", uris, keep, comps
            if (signed != "") printf "Signed-By: %s\n", signed
            printf "\n"
          }
        }
        types = uris = suites = comps = signed = enabled = ""
      }
      /^[ \t]*#/ { next }
      /^[ \t]*$/ { flush(); next }
      /^[ \t]/ { next }  # continuation of a multi-line field (an inline key)
      {
        key = $1; sub(/:$/, "", key); val = $0; sub(/^[^:]*:[ \t]*/, "", val)
        if (key == "Types") types = val
        else if (key == "URIs") uris = val
        else if (key == "Suites") suites = val
        else if (key == "Components") comps = val
        else if (key == "Signed-By") signed = val
        else if (key == "Enabled") enabled = val
      }
      END { flush() }' "$f" >>"$tmp"
  done
  if [ -s "$tmp" ]; then
    $sudo install -m 644 "$tmp" "$out"
    [ -n "${FENNICK_APT_DIR:-}" ] || $sudo apt-get update -qq
  fi
  rm -f "$tmp"
}
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
derive_deb_src
