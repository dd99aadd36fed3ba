#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 Pelorin Greetings

# Builds the Debian package, runs lintian, desktop-file-validate and
# appstreamcli on it, checks its layout, unpacks it into a scratch root and
# runs the unpacked program there through one card under Xvfb with the real
# office. Then the card is converted to PDF by the system's office with the
# package's font aliases, as a user would open it.
#
# usage: run_package_test.sh SOURCE_DIR WORK_DIR
set -uo pipefail
source_dir=$1
out=$2
rm -rf "$out"
mkdir -p "$out"
work=$(mktemp -d)
export TEMP=$work/temp XDG_CONFIG_HOME=$work/config HOME=$work/home
mkdir -p "$TEMP" "$XDG_CONFIG_HOME" "$HOME"
unset QT_QPA_PLATFORM

failures=0
step() { printf '\n== %s\n' "$*"; }
check() { # check DESCRIPTION COMMAND...
  local what=$1; shift
  if "$@"; then echo "ok: $what"; else echo "FAILED: $what"; failures=$((failures + 1)); fi
}
finish() {
  echo
  if [ $failures -eq 0 ]; then echo "package: 1 passed, 0 failed"; else echo "package: 0 passed, 1 failed ($failures checks)"; fi
  [ $failures -eq 0 ]
  exit
}
cleanup() {
  [ -n "${app_pid:-}" ] && kill "$app_pid" 2>/dev/null
  # Waited for, so that no server of this run meets the next test's.
  [ -n "${xvfb_pid:-}" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

step "build the package"
bash "$source_dir/scripts/package.sh" "$out" >"$out/package.log" 2>&1
deb=$(tail -n1 "$out/package.log")
check "scripts/package.sh wrote the package" test -f "$deb"
[ -f "$deb" ] || { tail -n 40 "$out/package.log"; finish; }
echo "$deb"

step "validators"
lintian --fail-on error --display-level '>=warning' "$deb" | tee "$out/lintian.txt"
check "lintian reports no errors" test "${PIPESTATUS[0]}" -eq 0
root=$out/root
dpkg-deb -x "$deb" "$root"
check "desktop-file-validate accepts the menu entry" \
  desktop-file-validate "$root/usr/share/applications/pelorin-greeting-designer.desktop"
metainfo=$(ls "$root"/usr/share/metainfo/*.metainfo.xml 2>/dev/null | head -n1)
check "appstreamcli accepts the metainfo" appstreamcli validate --no-net "$metainfo"

step "layout"
program_dir=$root/usr/lib/pelorin-greeting-designer
check "the command is a relative link to the program in its own folder" \
  test "$(readlink "$root/usr/bin/pelorin-greeting-designer")" = ../lib/pelorin-greeting-designer/pelorin-greeting-designer
check "nothing else in /usr/bin" test "$(ls -A "$root/usr/bin")" = pelorin-greeting-designer
check "the hand cursor beside the program" test -f "$program_dir/HAND-M.CUR"
# speaks LANGUAGE: the menu entry and the metainfo have texts in it.
speaks() {
  grep -q "^Comment\[$1\]=" "$root/usr/share/applications/pelorin-greeting-designer.desktop" \
    && grep -q "<summary xml:lang=\"$1\">" "$metainfo"
}
for language in de fr es; do
  check "the $language catalogue in the program's data folder" \
    test -s "$root/usr/share/pelorin-greeting-designer/translations/pelorin_$language.qm"
  check "the menu entry and the metainfo in $language" speaks "$language"
done
runpath=$(readelf -d "$program_dir/pelorin-greeting-designer" | sed -n 's/.*(\(RPATH\|RUNPATH\)).*\[\(.*\)\]/\2/p')
check "the only run path is the office's program folder, none into its SDK" test "$runpath" = /usr/lib/libreoffice/program
check "every library the program needs is found" bash -c "! ldd '$program_dir/pelorin-greeting-designer' | grep 'not found'"
copyright=$root/usr/share/doc/pelorin-greeting-designer/copyright
check "copyright: GPL-3+ for the program, CC0-1.0 for the metainfo, the common licence files named" \
  bash -c "grep -q '^Files: \*\$' '$copyright' && grep -qx 'License: GPL-3+' '$copyright' && grep -qx 'License: CC0-1.0' '$copyright' \
    && grep -q '/usr/share/common-licenses/GPL-3' '$copyright'"
check "metainfo: GPL-3.0-or-later" grep -q '<project_license>GPL-3.0-or-later</project_license>' "$root"/usr/share/metainfo/*.metainfo.xml
check "manual page and 256 px icon installed" test -f "$root/usr/share/man/man1/pelorin-greeting-designer.1.gz" \
  -a -f "$root/usr/share/icons/hicolor/256x256/apps/pelorin-greeting-designer.png"
depends=$(dpkg-deb -f "$deb" Depends)
check "depends on the office engine" grep -q 'libreoffice-writer-nogui | libreoffice-writer' <<<"$depends"
check "depends on the UNO runtime libraries found by dpkg-shlibdeps" grep -q 'libuno-cppu3' <<<"$depends"
check "depends on Qt's print support, whose plugin lists the CUPS printers" grep -q 'libqt6printsupport6' <<<"$depends"
check "recommends the print system" grep -qw 'cups' <<<"$(dpkg-deb -f "$deb" Recommends)"
check "recommends Qt's own catalogues, for its dialogs in the user's language" \
  grep -qw 'qt6-translations-l10n' <<<"$(dpkg-deb -f "$deb" Recommends)"
aliases=$(readlink "$root/etc/fonts/conf.d/31-pelorin-greeting-designer.conf")
check "font aliases enabled in conf.d from conf.avail" \
  test "$aliases" = /usr/share/fontconfig/conf.avail/31-pelorin-greeting-designer.conf -a -f "$root$aliases"

step "font aliases"
# The system's configuration with the package's alias file added, as on a
# machine where the package is installed.
cat >"$work/fonts.conf" <<FONTS
<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "urn:fontconfig:fonts.dtd">
<fontconfig>
  <include ignore_missing="yes">/etc/fonts/fonts.conf</include>
  <include>$root$aliases</include>
</fontconfig>
FONTS
check "fc-match gives P052 for Book Antiqua" \
  bash -c "FONTCONFIG_FILE='$work/fonts.conf' fc-match -f '%{family}' 'Book Antiqua:bold' | grep -q P052"

step "the unpacked program through one card, in German"
# A skin in the program's folder shows that the program finds its folder
# through the link in /usr/bin; the German Save dialog, that it finds its
# catalogue in the data folder beside it.
mkdir -p "$program_dir/x"
cp "$source_dir/resources/skin/o.cjs" "$program_dir/x/o.cjs"
# -noreset: a server resetting as its last client leaves turns a new one away.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -dpi 96 -nolisten tcp -noreset 3>"$work/display" >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(head -n1 "$work/display")"
title_windows() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null; }
window_of_size() { # window_of_size TITLE WIDTH HEIGHT
  local id
  for id in $(title_windows "$1"); do
    xwininfo -id "$id" | grep -q "Width: $2\$" && xwininfo -id "$id" | grep -q "Height: $3\$" && { echo "$id"; return 0; }
  done
  return 1
}
main_window() { window_of_size "Pelorin Greeting Designer" 536 293; }
preview_window() { window_of_size "Pelorin Greeting Designer" 656 626; }
wait_for() { # wait_for SECONDS COMMAND...
  local end=$((SECONDS + $1)); shift
  while [ $SECONDS -lt $end ]; do "$@" >/dev/null 2>&1 && return 0; sleep 0.2; done
  return 1
}
LANGUAGE=de "$root/usr/bin/pelorin-greeting-designer" >"$out/program.log" 2>&1 &
app_pid=$!
check "main window shown after the office check" wait_for 120 main_window
main=$(main_window)
timeout 20 import -window "$main" "$out/main-window.png"
# The skin's cream background (#fbf7ea) instead of the designed white.
check "skin from the program's folder applied" \
  test "$(convert "$out/main-window.png" -format '%[fx:int(255*p{3,290}.b+0.5)]' info: 2>/dev/null)" = 234
xdotool mousemove --window "$main" 260 150 sleep 0.1 click 1 key ctrl+a
xdotool type --delay 5 "Thank you for the lovely scarf."
xdotool mousemove --window "$main" 268 21 sleep 0.3 click 1
check "preview shown after Start Creating Template" wait_for 180 preview_window
preview=$(preview_window)
timeout 20 import -window "$preview" "$out/preview-window.png"
xdotool windowfocus --sync "$preview" sleep 0.3 key ctrl+s
check "the Save dialog has its German title, Datei speichern" wait_for 20 title_windows "Datei speichern"
xdotool key Escape
card=$(ls "$TEMP"/vestok*.doc 2>/dev/null | head -n1)
check "the card holds the message" bash -c "catdoc -d utf-8 '$card' | grep -q 'lovely scarf'"
cp "$card" "$out/card.doc" 2>/dev/null
kill "$app_pid" 2>/dev/null; wait "$app_pid" 2>/dev/null; app_pid=

step "the card in the system's office"
FONTCONFIG_FILE=$work/fonts.conf timeout 180 soffice --headless --norestore \
  "-env:UserInstallation=file://$work/office-profile" --convert-to pdf --outdir "$out" "$out/card.doc" >/dev/null 2>&1
pdffonts "$out/card.pdf" >"$out/card-fonts.txt" 2>&1
check "the converted card embeds P052" grep -q 'P052' "$out/card-fonts.txt"
# The heading is letter-spaced: compare without the spaces.
check "the heading stays on one line" bash -c "pdftotext -layout '$out/card.pdf' - | tr -d ' ' | grep -q 'THANKYOU'"
finish
