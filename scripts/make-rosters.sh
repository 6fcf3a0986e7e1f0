#!/usr/bin/env bash
# Draws the simulator's sample course rosters (PDF) with cairo and Noto Sans
# CJK TC into sim/data/academic/emisappws/AppWebService.asmx/. The PDFs are
# committed; run this only to change them.
set -euo pipefail
cd "$(dirname "$0")/.."
out=sim/data/academic/emisappws/AppWebService.asmx
mkdir -p "$out"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
cc -O2 -Wall -Wextra -o "$tmp/make_rosters" sim/tools/make_rosters.c $(pkg-config --cflags --libs cairo)
"$tmp/make_rosters" "$out"
ls -l "$out"/TeachEleStuPDF2XML@*
