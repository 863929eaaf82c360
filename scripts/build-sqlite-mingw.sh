#!/usr/bin/env bash
# Builds SQLite for the Windows build from Debian's own source package:
# fetches it with apt-get source (needs the deb-src entries that
# scripts/install-deps.sh derives), makes the amalgamation when the tree has
# none, and compiles it with MinGW-w64 into OUT/lib/libsqlite3.a with
# OUT/include/sqlite3.h. Nothing of SQLite is kept in the project.
#
#   scripts/build-sqlite-mingw.sh [OUT]     (default: build-win/third_party/sqlite)
set -euo pipefail
cd "$(dirname "$0")/.."
out="$(realpath -m "${1:-build-win/third_party/sqlite}")"
cache="${FENNICK_SQLITE_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/fennick-sqlite}"
cc="${MINGW_CC:-x86_64-w64-mingw32-gcc-posix}"
ar="${MINGW_AR:-x86_64-w64-mingw32-ar}"

if [ -f "$out/lib/libsqlite3.a" ] && [ -f "$out/include/sqlite3.h" ]; then
  exit 0
fi
mkdir -p "$cache"
cd "$cache"
# Builds in other worktrees share the cache: one at a time.
exec 9>"$cache/.lock"
flock 9

# The same version as the native libsqlite3-dev when the archive still has it.
version="$(dpkg-query -W -f='${Version}' libsqlite3-dev 2>/dev/null || true)"
dsc="$(ls sqlite3_*.dsc 2>/dev/null | head -n 1 || true)"
if [ -z "$dsc" ]; then
  if ! { [ -n "$version" ] && apt-get source --download-only "sqlite3=$version"; } &&
     ! apt-get source --download-only sqlite3; then
    echo "build-sqlite-mingw: apt-get source sqlite3 failed; run scripts/install-deps.sh first" >&2
    exit 1
  fi
  dsc="$(ls sqlite3_*.dsc | head -n 1)"
fi

tree="$cache/tree"
if [ ! -d "$tree" ]; then
  dpkg-source -x "$dsc" "$tree.part" >/dev/null
  mv "$tree.part" "$tree"
fi

amalgamation="$(find "$tree" -maxdepth 2 -name sqlite3.c -print -quit)"
if [ -z "$amalgamation" ]; then
  # A full source tree: generate sqlite3.c with the native tools (tclsh and
  # the host's compiler, whatever CC the caller's build has set).
  mkdir -p "$cache/amalgamation"
  (cd "$cache/amalgamation" &&
     { [ -f Makefile ] || env -u CFLAGS -u CPPFLAGS -u LDFLAGS CC="${NATIVE_CC:-cc}" \
         "$tree/configure" --disable-tcl >/dev/null; } &&
     make -s sqlite3.c >/dev/null)
  amalgamation="$cache/amalgamation/sqlite3.c"
fi
srcdir="$(dirname "$amalgamation")"

work="$out.part"
rm -rf "$work"
mkdir -p "$work/lib" "$work/include"
"$cc" -O2 -c "$amalgamation" -o "$work/sqlite3.o" -DSQLITE_THREADSAFE=1 -DSQLITE_OMIT_LOAD_EXTENSION
"$ar" rcs "$work/lib/libsqlite3.a" "$work/sqlite3.o"
rm "$work/sqlite3.o"
cp "$srcdir/sqlite3.h" "$work/include/"
rm -rf "$out"
mv "$work" "$out"
echo "build-sqlite-mingw: $out/lib/libsqlite3.a"
