#!/usr/bin/env bash
# Redraws the newspaper web server's sample pictures (sim/data/newspaper_web)
# with sim/tools/newspaper_pictures.cpp. The pictures are committed; run this
# only after changing the drawing program or its list of pictures.
set -euo pipefail
cd "$(dirname "$0")/../.."
out=sim/data/newspaper_web
tool=$(mktemp /tmp/newspaper-pictures.XXXXXX)
trap 'rm -f "$tool"' EXIT
c++ -std=c++20 -O2 -w sim/tools/newspaper_pictures.cpp -o "$tool"
rm -f "$out"/ashx/getILPic*.ashx@im=*
"$tool" "$out"
