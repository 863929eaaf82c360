#!/usr/bin/env bash
# Pictures of every wizard page in English and Chinese, without Windows:
# builds fennick-screens, runs it under Wine on its own X server and in its
# own Wine prefix with a CJK font linked behind the wizard's fonts, turns the
# BMP files into PNG and lists them. Usage: scripts/screenshots.sh [OUTDIR]
# (default build-win/screenshots). FENNICK_SCREENS_WINEPREFIX overrides the
# prefix (default /tmp/fennick-screens-wine-<uid>); the tests' prefix is
# never touched.
set -euo pipefail
cd "$(dirname "$0")/.."
root="$(pwd)"

outdir="${1:-build-win/screenshots}"
mkdir -p "$outdir"
outdir="$(cd "$outdir" && pwd)"
prefix="${FENNICK_SCREENS_WINEPREFIX:-/tmp/fennick-screens-wine-$(id -u)}"
tool="$root/build-win/bin/fennick-screens.exe"
cjk_font_file=wqy-microhei.ttc
cjk_font_face="WenQuanYi Micro Hei"

# The second half runs inside xvfb-run, started by the first.
if [ "${FENNICK_SCREENS_INSIDE:-}" != 1 ]; then
  missing=()
  for package in fonts-wqy-microhei imagemagick xvfb xauth; do
    dpkg -s "$package" >/dev/null 2>&1 || missing+=("$package")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing ${missing[*]}" >&2
    sudo_cmd=()
    [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
    "${sudo_cmd[@]}" apt-get install -y --no-install-recommends "${missing[@]}" >&2
  fi

  if [ ! -f build-win/build.ninja ]; then
    cmake -S . -B build-win -G Ninja -DCMAKE_BUILD_TYPE=Release \
          -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake >/dev/null
  fi
  ninja -C build-win -j2 fennick-screens >&2

  FENNICK_SCREENS_INSIDE=1 exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$outdir"
fi

export WINEPREFIX="$prefix"
export FENNICK_WINEPREFIX="$prefix"  # for wine-run.sh, which makes the prefix when it is new
export WINEDEBUG=-all
# Only this prefix's server, never another developer's.
trap 'WINEPREFIX="$prefix" wineserver -k >/dev/null 2>&1 || true' EXIT

# Link the CJK font behind every face the wizard asks for, so Chinese text
# finds its glyphs while Latin text keeps the wizard's own font.
scripts/wine-run.sh cmd /c exit >/dev/null 2>&1 || true
link_key='HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink'
for face in "MS Sans Serif" "Microsoft Sans Serif" "Tahoma" "MS Shell Dlg" "MS Shell Dlg 2"; do
  wine reg add "$link_key" /v "$face" /t REG_MULTI_SZ /d "$cjk_font_file,$cjk_font_face" /f >/dev/null 2>&1
done

rm -f "$outdir"/wizard-*.bmp "$outdir"/wizard-*.png
scripts/wine-run.sh "$tool" "$(winepath -w "$outdir")" >/dev/null
for bmp in "$outdir"/wizard-*.bmp; do
  convert "$bmp" "${bmp%.bmp}.png"
  rm -f "$bmp"
  echo "${bmp%.bmp}.png"
done
