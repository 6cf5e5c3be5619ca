#!/bin/bash
# Pictures of a medium's pages, drawn by the real page classes, for installer
# authors: one PNG per page section and language.
#
#   tools/pagepreview/preview.sh [medium folder] [output folder] [section] [language id]
#
# Defaults: the assembled sample medium (<build>/medium) and docs/pages. Runs
# pagepreview.exe under Xvfb with Wine's x11 driver; needs no display of your own.
set -euo pipefail
cd "$(dirname "$0")/../.."
ROOT=$(pwd)
BUILD_DIR=${BUILD_DIR:-build}
MEDIUM=$(realpath "${1:-$BUILD_DIR/medium}")
OUT=$(mkdir -p "${2:-docs/pages}" && realpath "${2:-docs/pages}")
SECTION=${3:-}
ONLY_LANGUAGE=${4:-}
TOOL="$ROOT/$BUILD_DIR/tools/pagepreview/pagepreview.exe"
[ -x "$TOOL" ] || { echo "preview: build first (scripts/build)" >&2; exit 1; }

source scripts/x11-env
WORK=$(mktemp -d)
trap 'x11_stop; rm -rf "$WORK"' EXIT
x11_start

WMEDIUM=$(winepath -w "$MEDIUM" 2>/dev/null)
WWORK=$(winepath -w "$WORK" 2>/dev/null)
languages=$(timeout 60 wine "$TOOL" "$WMEDIUM" --languages </dev/null 2>/dev/null | tr -d '\r')
status=0
while read -r id abbreviation; do
  [ -z "$id" ] && continue
  [ -n "$ONLY_LANGUAGE" ] && [ $((id)) -ne $((ONLY_LANGUAGE)) ] && continue
  # Each language in the code page its texts are written in.
  LC_ALL=$(x11_locale_for "$id") timeout 600 wine "$TOOL" "$WMEDIUM" "$WWORK" "$SECTION" "$id" \
    </dev/null 2>/dev/null | tr -d '\r' || status=1
done <<<"$languages"
for bmp in "$WORK"/*.bmp; do
  [ -e "$bmp" ] || continue
  png="$OUT/$(basename "${bmp%.bmp}").png"
  convert "$bmp" "$png"
  echo "preview: $png"
done
exit $status
