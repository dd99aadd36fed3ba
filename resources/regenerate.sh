#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 Pelorin Greetings

# Rebuild every generated file under resources/ from its source:
#   template/art/*.svg     -> template/art/*.png (embedded in the card)
#   template/card.fodt.in  -> template/card.fodt -> card-template.dot
#   icon/app-icon.svg      -> icon/hicolor/*/apps/*.png, icon/*-256.png, app.ico
#   make_cursor.py         -> HAND-M.CUR
# Needs: python3, rsvg-convert (librsvg2-bin), convert (imagemagick),
# LibreOffice Writer. Works from any directory.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
soffice=${SOFFICE:-/usr/lib/libreoffice/program/soffice}
app=pelorin-greeting-designer

for tool in python3 rsvg-convert convert; do
    command -v "$tool" >/dev/null || { echo "regenerate.sh: $tool is missing" >&2; exit 1; }
done
[ -x "$soffice" ] || { echo "regenerate.sh: no office at $soffice (set SOFFICE)" >&2; exit 1; }

work=$(mktemp -d)
cleanup() { rm -rf "$work"; }
trap cleanup EXIT

# The card names "Book Antiqua"; this keeps the office on a Palatino-style face.
export FONTCONFIG_FILE="$here/fonts/pelorin-fonts.conf"
export PYTHONDONTWRITEBYTECODE=1

echo "== artwork"
art="$here/template/art"
# The cover is flattened onto white (the page colour) and reduced to 256
# colours, which keeps the template small.
rsvg-convert -w 600 "$art/orchid.svg" -o "$work/orchid-rgba.png"
convert "$work/orchid-rgba.png" -background white -alpha remove -alpha off \
    -dither FloydSteinberg -colors 256 "PNG8:$art/orchid.png"
rsvg-convert -w 160 "$art/ornament.svg" -o "$art/ornament.png"

echo "== icon"
for n in 32 48 128 256; do
    mkdir -p "$here/icon/hicolor/${n}x${n}/apps"
    rsvg-convert -w $n -h $n "$here/icon/app-icon.svg" -o "$here/icon/hicolor/${n}x${n}/apps/$app.png"
done
cp "$here/icon/hicolor/256x256/apps/$app.png" "$here/icon/$app-256.png"
python3 "$here/make_ico.py" "$here/app.ico" \
    "$here"/icon/hicolor/{32x32,48x48,128x128,256x256}/apps/$app.png

echo "== cursor"
python3 "$here/make_cursor.py" "$here/HAND-M.CUR"

echo "== card template"
python3 - "$here/template/card.fodt.in" "$here/template/card.fodt" \
    "$art/orchid.png" "$art/ornament.png" <<'PY'
import base64, sys
src, dst, cover, ornament = sys.argv[1:]
text = open(src, encoding="utf-8").read()
for marker, path in (("@COVER_PNG_BASE64@", cover), ("@ORNAMENT_PNG_BASE64@", ornament)):
    if marker not in text:
        sys.exit("marker %s missing from %s" % (marker, src))
    data = base64.b64encode(open(path, "rb").read()).decode("ascii")
    # wrapped lines keep the flat file friendly to editors and diffs
    text = text.replace(marker, "\n" + "\n".join(data[i:i + 76] for i in range(0, len(data), 76)) + "\n")
open(dst, "w", encoding="utf-8").write(text)
PY

mkdir -p "$work/out"
timeout 300 "$soffice" --headless --nologo --norestore --nolockcheck \
    "-env:UserInstallation=file://$work/profile" \
    --convert-to 'dot:MS Word 97 Vorlage' --outdir "$work/out" "$here/template/card.fodt" \
    >"$work/soffice.log" 2>&1 || { cat "$work/soffice.log" >&2; exit 1; }
[ -s "$work/out/card.dot" ] || { echo "regenerate.sh: the office wrote no .dot" >&2; cat "$work/soffice.log" >&2; exit 1; }

# The Word export drops the frame names and fills frames with white; the
# rectangles below must match the frames in card.fodt.in.
boxes=(
    "Cover=541,694,5044,6684"
    "Heading=1395,1187,2069,393"
    "Ornament=8311,11493,788,731"
    "Text Box 8=8985,11740,2304,2629"
)
args=()
for b in "${boxes[@]}"; do args+=(--name "$b" --expect "$b"); done
python3 "$here/dot_shapes.py" "$work/out/card.dot" "${args[@]}"
cp "$work/out/card.dot" "$here/card-template.dot"
echo "== done: $(stat -c %s "$here/card-template.dot") bytes in card-template.dot"
