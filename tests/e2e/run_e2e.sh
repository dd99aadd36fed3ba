#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 Pelorin Greetings

# End to end, as a user: the real program in a real X server with the real
# office engine and a print system of the walk's own. Start-up check, type a
# message, make a card, zoom, drag, scroll and zoom with the wheel, save it,
# print it on the queue's A4, on Letter in grayscale and on an instance's
# A5, save it as a PDF, send it by e-mail (xdg-email, and the desktop's
# portal), copy it, save it as a picture, print with the queue rejecting
# jobs, a document the scheduler refuses and the
# scheduler stopped, go back, make a second card, close; a print server that
# never answers; the card copied handed to a clipboard manager at the end;
# the close box behind an open message; a card made by an ordinary user with
# a permissive umask; a card under German; the preview moved onto a denser screen. Screenshots of both windows are left in the artefacts
# folder. Along the keyboard road a screen reader's view is read through
# AT-SPI (the accessible tree is left there too). A window the walk needs
# that does not come within its bound ends the walk there.
#
# usage: run_e2e.sh PROGRAM CLOSE_WINDOW_TOOL ARTEFACTS_DIR CLIPBOARD_MANAGER
set -uo pipefail
# A session bus of its own, which the accessibility bus hangs off; it ends
# with the walk.
if [ -z "${PELORIN_E2E_SESSION_BUS:-}" ]; then
  PELORIN_E2E_SESSION_BUS=1 exec dbus-run-session -- "$0" "$@"
fi
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
program=$1
close_window=$2
artefacts=$3
clipboard_manager=$4
mkdir -p "$artefacts"
work=$(mktemp -d)
# The office instances keep their private folders under TMPDIR: this run's
# own, so the checks below see only this program's offices.
export TEMP=$work/temp XDG_CONFIG_HOME=$work/config HOME=$work/home TMPDIR=$work/tmp
mkdir -p "$TEMP" "$XDG_CONFIG_HOME" "$HOME" "$TMPDIR"
unset QT_QPA_PLATFORM

failures=0
step() { printf '\n== %s\n' "$*"; }
finish() {
  echo
  if [ $failures -eq 0 ]; then echo "e2e: 1 passed, 0 failed"; else echo "e2e: 0 passed, 1 failed ($failures checks)"; fi
  [ $failures -eq 0 ]
  exit
}
# need WHAT VALUE: the steps after it cannot go on without VALUE (a window).
need() {
  [ -n "$2" ] && return 0
  echo "FAILED: no $1 came: the walk stops here"
  failures=$((failures + 1))
  finish
}
check() { # check DESCRIPTION COMMAND...
  local what=$1; shift
  if "$@"; then echo "ok: $what"; else echo "FAILED: $what"; failures=$((failures + 1)); fi
}
title_windows() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null; }
# The error message's window once one shows, within SECONDS; nothing else.
error_box_within() {
  local end=$((SECONDS + $1))
  until title_windows "Application Error" >/dev/null || [ $SECONDS -ge $end ]; do sleep 0.2; done
  title_windows "Application Error" | head -n1
}
# The visible window with that title and that client size, if any.
window_of_size() {
  local id
  for id in $(title_windows "$1"); do
    if xwininfo -id "$id" | grep -q "Width: $2\$" && xwininfo -id "$id" | grep -q "Height: $3\$"; then
      echo "$id"; return 0
    fi
  done
  return 1
}
main_window() { window_of_size "Pelorin Greeting Designer" 536 293; }
preview_window() { window_of_size "Pelorin Greeting Designer" 656 626; }
wait_for() { # wait_for SECONDS COMMAND...
  local limit=$1; shift
  local end=$((SECONDS + limit))
  while [ $SECONDS -lt $end ]; do
    "$@" >/dev/null 2>&1 && return 0
    error_box_check
    sleep 0.2
  done
  return 1
}
error_box_check() {
  local id
  id=$(title_windows "Application Error" | head -n1)
  if [ -n "$id" ]; then
    shot "$id" "$artefacts/unexpected-error.png" 2>/dev/null
    echo "FAILED: an error message appeared (see unexpected-error.png)"
    failures=$((failures + 1))
    xdotool windowactivate --sync "$id" key Return 2>/dev/null || xdotool key Return
  fi
}
# A picture of one window; never waits for a window to be picked by hand.
shot() { # shot WINDOW FILE
  [ -n "$1" ] && timeout 20 import -window "$1" "$2"
}
# card_changes WINDOW FILE EARLIER: pictures of the preview until what its
# viewport shows differs from the earlier picture (a late paint is waited
# for, up to 5 s); the buttons below are left out, as hovering changes them.
card_changes() {
  local end=$((SECONDS + 5))
  while :; do
    shot "$1" "$2" && [ "$(viewport_of "$2")" != "$(viewport_of "$3")" ] && return 0
    [ $SECONDS -ge $end ] && return 1
    sleep 0.2
  done
}
viewport_of() { convert "$1" -crop 618x490+10+10 +repage rgb:- | md5sum; }
click_at() { # click_at WINDOW X Y (client pixels)
  xdotool mousemove --window "$1" "$2" "$3" sleep 0.1 click 1
}
office_processes() { pgrep -f "UserInstallation=file://$work/" || true; }
# What a screen reader reads of the program: "tree", or "focus" (the active
# window, the focused object and its description).
screen_reader() { /usr/bin/python3 "$here/screen_reader.py" "$app_pid" "$@" 2>/dev/null; }
# reads PATTERN: the focus report, its lines joined with "~", matches the pattern.
reads() { [[ "$(screen_reader focus | tr '\n' '~')" == $1 ]]; }
# The window manager's part, which Xvfb lacks: a new window gets the input focus.
focus_window() { xdotool windowfocus --sync "$1"; sleep 0.3; }
cleanup() {
  [ -n "${app_pid:-}" ] && kill "$app_pid" 2>/dev/null
  [ -n "${silent_pid:-}" ] && kill "$silent_pid" 2>/dev/null
  [ -n "${portal_pid:-}" ] && kill "$portal_pid" 2>/dev/null
  [ -n "${manager_pid:-}" ] && kill "$manager_pid" 2>/dev/null
  [ -n "${atspi_pid:-}" ] && kill "$atspi_pid" 2>/dev/null
  # Never left running: the scheduler is the walk's own.
  declare -F cups_stop >/dev/null && cups_stop
  rm -rf "${cups_root:-}"
  # Waited for, so that no server of this run meets the next test's.
  [ -n "${wm_pid:-}" ] && kill "$wm_pid" 2>/dev/null
  [ -n "${xvfb_pid:-}" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
  [ -n "${xvfb2_pid:-}" ] && kill "$xvfb2_pid" 2>/dev/null && wait "$xvfb2_pid" 2>/dev/null
  rm -rf "$work" ${user_root:+"$user_root"}
}
trap cleanup EXIT

step "X server"
# Xvfb picks a free display itself and writes its number once it is ready.
# Without -noreset it resets whenever its last client leaves, and a client
# that connects meanwhile (the program, just after a short-lived xdotool) is
# turned away.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -dpi 96 -nolisten tcp -noreset 3>"$work/display" >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || { echo "FAILED: no X server"; exit 1; }
export DISPLAY=":$(head -n1 "$work/display")"
for _ in $(seq 50); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done
xdotool getdisplaygeometry >/dev/null 2>&1 || { echo "FAILED: the X server on $DISPLAY takes no connection"; exit 1; }

step "accessibility bus"
/usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
atspi_pid=$!
# Qt's bridge otherwise waits for a desktop that has switched accessibility on.
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
# Asked before it is up, the session bus would start a second one.
check "accessibility bus up" wait_for 20 bash -c "dbus-send --session --print-reply --dest=org.freedesktop.DBus \
  /org/freedesktop/DBus org.freedesktop.DBus.NameHasOwner string:org.a11y.Bus | grep -q 'boolean true'"

step "a print system of the walk's own"
# shellcheck source=private_cups.sh
source "$here/private_cups.sh"
# Outside the private work folder: the scheduler's filters run as lp.
cups_root=$(mktemp -d /tmp/pelorin-e2e-cups.XXXXXX)
check "own scheduler with a cups-pdf queue, CUPS_SERVER set for the program" cups_start "$cups_root"
# As queues are set up in most of the world.
check "the queue's paper is A4" lpadmin -p CardPDF -o PageSize=A4
menu_item_role=$(/usr/bin/python3 -c 'import pyatspi; print(int(pyatspi.ROLE_MENU_ITEM))')

step "start-up"
# A language the program has no catalogue for: the walk reads the English texts.
LANGUAGE=xx "$program" >"$artefacts/program.log" 2>&1 &
app_pid=$!
check "main window shown after the office check" wait_for 60 main_window
main=$(main_window)
need "main window" "$main"
check "no office process left by the start-up check" test -z "$(office_processes)"
shot "$main" "$artefacts/main-window.png"
focus_window "$main"
check "screen reader: the main window is a frame, the focus in the message box" \
  wait_for 20 reads "window: frame | Pelorin Greeting Designer~focus: text | Short Message~*"

step "type a message"
message_line1="Dear Mira,"
message_line2="Thank you for the coffee and kindness."
click_at "$main" 260 150
xdotool key ctrl+a
xdotool type --delay 5 "$message_line1"
xdotool key Return
xdotool type --delay 5 "$message_line2"
sleep 0.5
check "message stored in the settings" grep -q "Mira" "$XDG_CONFIG_HOME/Varnhold.ini"

step "colours as painted"
pixel() { # pixel FILE X Y: "r,g,b" of one painted pixel
  convert "$1" -crop "1x1+$2+$3" -colorspace sRGB -format "%[fx:round(255*r)],%[fx:round(255*g)],%[fx:round(255*b)]" info:
}
# Neither a tab character nor its escaped form in the stored message.
no_tab_in_settings() { ! grep -qF $'\t' "$XDG_CONFIG_HOME/Varnhold.ini" && ! grep -qF '\t' "$XDG_CONFIG_HOME/Varnhold.ini"; }
check "main window background white" test "$(pixel "$artefacts/main-window.png" 2 2)" = "255,255,255"

step "make a card with the keyboard"
# Tab leaves the message box for "Start Creating Template"; Enter presses it.
xdotool key Tab
sleep 0.3
check "screen reader: Tab reaches the button" \
  wait_for 10 reads "*~focus: push button | Start Creating Template~*"
xdotool key Return
check "preview shown" wait_for 60 preview_window
preview=$(preview_window)
need "preview" "$preview"
check "main window hidden" bash -c "! xdotool search --onlyvisible --name '^Pelorin Greeting Designer\$' | xargs -r -n1 xwininfo -id | grep -q 'Width: 536'"
sleep 1
shot "$preview" "$artefacts/preview-window.png"
card=$(ls "$TEMP"/vestok*.doc 2>/dev/null | head -n1)
check "card document in the temporary folder" test -f "$card"
check "Tab typed no tab into the message" no_tab_in_settings
face=$(pixel "$artefacts/preview-window.png" 2 2)
check "preview background in the button face, not white ($face)" test "$face" != "255,255,255"
check "Zoom: frame in the button face" test "$(pixel "$artefacts/preview-window.png" 600 526)" = "$face"
check "viewport white" test "$(pixel "$artefacts/preview-window.png" 620 20)" = "255,255,255"
check "only the card document remains" test "$(ls -A "$TEMP" | wc -l)" -eq 1
check "no office process left after the card" test -z "$(office_processes)"

step "what a screen reader reads of the new card"
focus_window "$preview"
check "screen reader: the preview is a frame, the focus on the card" \
  wait_for 20 reads "window: frame | Pelorin Greeting Designer~focus: image | Greeting card~*"
check "screen reader: the card's description holds the message and the zoom" \
  reads "*~description: Message on the card: / $message_line1 / $message_line2 / Zoom 100%~"
screen_reader focus >"$artefacts/screen-reader-card.txt"
for _ in 1 2 3; do xdotool key Tab; sleep 0.2; done
check "screen reader: Tab from the card reaches Save, past the zoom buttons" \
  wait_for 10 reads "*~focus: push button | Save Results To Word File~*"
screen_reader tree >"$artefacts/accessible-tree.txt"
check "both windows are frames named by their caption" \
  test "$(grep -c '^  frame | Pelorin Greeting Designer | ' "$artefacts/accessible-tree.txt")" -eq 2
check "no unnamed filler among the windows' own children (the hidden holder is left out)" \
  bash -c "! grep -qE '^    (filler|invalid) ' '$artefacts/accessible-tree.txt'"
# The rest of the walk as before: no window holds the input focus. Qt lets
# the window go inactive only 100 ms after the focus has left it, in case the
# focus comes back; a click pressed before that and released after would
# lose its release, so the walk waits until no window is active.
xdotool windowfocus "$(xwininfo -root | awk '/Window id:/ {print $4}')"
check "screen reader: no window active once the focus has gone" wait_for 10 reads ""

step "zoom and drag"
click_at "$preview" 172 557   # Zoom In
check "Zoom In enlarged the card" card_changes "$preview" "$artefacts/preview-zoomed.png" "$artefacts/preview-window.png"
click_at "$preview" 480 557   # Zoom Out
sleep 0.3
xdotool mousemove --window "$preview" 300 300 mousedown 1 sleep 0.1 mousemove --window "$preview" 260 250 \
  sleep 0.1 mousemove --window "$preview" 200 150 sleep 0.1 mouseup 1
check "dragging moved the picture" card_changes "$preview" "$artefacts/preview-dragged.png" "$artefacts/preview-window.png"

step "wheel and Ctrl + wheel over the card"
# The drag left the card beyond the scroll range; one notch down sets the
# scrollbar to its first step, and the card jumps there.
xdotool mousemove --window "$preview" 300 250 sleep 0.2 click 5
check "a wheel step scrolled the picture" \
  card_changes "$preview" "$artefacts/preview-wheel.png" "$artefacts/preview-dragged.png"
xdotool keydown ctrl click 4 keyup ctrl
check "Ctrl + wheel zoomed the picture" \
  card_changes "$preview" "$artefacts/preview-ctrl-wheel.png" "$artefacts/preview-wheel.png"
xdotool keydown ctrl click 5 keyup ctrl
check "Ctrl + wheel back zoomed out again" \
  card_changes "$preview" "$artefacts/preview-ctrl-wheel-back.png" "$artefacts/preview-ctrl-wheel.png"

step "save the card"
saved="$work/saved/My card.doc"
mkdir -p "$work/saved"
click_at "$preview" 488 603
check "Save dialog shown" wait_for 20 title_windows "Save File"
sleep 0.5
xdotool type --delay 5 "$saved"
xdotool key Return
check "Done. shown" wait_for 20 title_windows "Pelorin Greeting"
done_box=$(title_windows "Pelorin Greeting" | head -n1)
shot "$done_box" "$artefacts/done-message.png"
xdotool key Return
sleep 0.5
check "saved file exists" test -f "$saved"
check "saved file is byte-identical to the card document" cmp "$saved" "$card"
check "saved file is a Word 97-2003 document" bash -c "file '$saved' | grep -q 'Composite Document File V2'"
check "saved file holds the message" bash -c "catdoc -d utf-8 '$saved' | grep -q 'coffee and kindness'"

step "an error message: plain text on its own lines"
# A name that looks like markup, and a card document that has gone away: the
# overwrite question shows the name as typed, the failed copy an error box.
marked="$work/saved/<b>bold<i>.doc"
echo "earlier" > "$marked"
mv "$card" "$card.away"
click_at "$preview" 488 603
check "Save dialog shown" wait_for 20 title_windows "Save File"
sleep 0.5
xdotool type --delay 5 "$marked"
xdotool key Return
check "overwrite question shown" wait_for 20 title_windows "Pelorin Greeting"
sleep 0.3
shot "$(title_windows "Pelorin Greeting" | head -n1)" "$artefacts/overwrite-question.png"
xdotool key Return   # Yes
error_box=$(error_box_within 20)
check "error message shown for the failed copy" test -n "$error_box"
sleep 0.3
shot "$error_box" "$artefacts/error-message.png"
check "error message shows four lines" bash -c "[ -n '$error_box' ] && [ \$(xwininfo -id '$error_box' | awk '/Height:/ {print \$2}') -gt 100 ]"
xdotool key Return
check "Done. after the error" wait_for 20 title_windows "Pelorin Greeting"
xdotool key Return
sleep 0.3
check "the earlier file is kept" grep -q earlier "$marked"
mv "$card.away" "$card"

step "print the card: Ctrl+P, the print dialog accepted"
# holds_message PDF: its text, its lines joined, has the card's message.
# Ligatures are read as their letters: LibreOffice 25.2 sets "coffee" with
# an ff ligature, which a print queue's own PDF keeps as one character.
holds_message() {
  [[ "$(pdftotext "$1" - 2>/dev/null | tr '\n' ' ' | sed 's/ﬀ/ff/g; s/ﬁ/fi/g; s/ﬂ/fl/g; s/ﬃ/ffi/g; s/ﬄ/ffl/g')" \
     == *"$message_line1"*"coffee and kindness"* ]]
}
# whole_on_page PDF: the ink of its page lies inside the page, with a
# margin on every side.
whole_on_page() {
  local size box
  size=$(pdfinfo "$1" | awk '/^Page size:/ { print $3, $5 }')
  box=$(gs -q -dNOPAUSE -dBATCH -sDEVICE=bbox "$1" 2>&1 | awk '/^%%HiResBoundingBox:/ { print $2, $3, $4, $5 }')
  awk -v page="$size" -v ink="$box" 'BEGIN { split(page, p); split(ink, i); m = 5
    exit !(i[3] > i[1] && i[1] >= m && i[2] >= m && p[1] - i[3] >= m && p[2] - i[4] >= m) }'
}
# job_attribute ID NAME: the value of a job's attribute, as the scheduler keeps it.
job_attribute() {
  local server
  server=$(python3 -c 'import sys, urllib.parse; print(urllib.parse.quote(sys.argv[1], safe=""))' "$CUPS_SERVER")
  ipptool -tv "ipp://$server/jobs/$1" get-job-attributes.test 2>/dev/null | sed -n "s/^ *$2 ([^)]*) = //p"
}
# last_job: the number of the newest job in the scheduler's page log.
last_job() { awk 'END { print $3 }' "$cups_root/log/page_log"; }
# fonts_embedded PDF: it has fonts, and every one of them is embedded.
fonts_embedded() { pdffonts "$1" | awk 'NR > 2 { fonts++; if ($(NF-4) != "yes") bare++ } END { exit !(fonts > 0 && bare == 0) }'; }
focus_window "$preview"
xdotool key ctrl+p
check "print dialog shown" wait_for 20 title_windows "Print"
print_dialog=$(title_windows "Print" | head -n1)
need "print dialog" "$print_dialog"
sleep 0.5
shot "$print_dialog" "$artefacts/print-dialog.png"
# Two copies: "Options >>" shows the copies, whose field takes a click and a 2.
xdotool key alt+o
sleep 0.5
screen_reader tree >"$artefacts/print-dialog-tree.txt"
copies_at=$(screen_reader where "Copies:")
check "the print dialog's copies field found" test -n "$copies_at"
# shellcheck disable=SC2086
xdotool mousemove $copies_at click --repeat 3 1 type 2
sleep 0.3
shot "$print_dialog" "$artefacts/print-dialog-copies.png"
xdotool key Return
# The queue writes its PDF while the job runs: it is complete once it reads.
printed_holds_message() { printed=$(ls "$cups_root"/pdf/*.pdf 2>/dev/null | head -n1) && holds_message "$printed"; }
check "a PDF with the message as text came from the queue" wait_for 60 printed_holds_message
check "A4, the queue's paper" bash -c "pdfinfo '$printed' | grep -Eq '^Page size: +595(\\.[0-9]+)? x 842'"
check "the card whole on it, a margin on every side" whole_on_page "$printed"
check "the queue took two copies on A4" grep -q '^CardPDF .* total 2 .* iso_a4_210x297mm' "$cups_root/log/page_log"
check "the job asks for the card fitted to the paper" test "$(job_attribute "$(last_job)" print-scaling)" = auto-fit
check "no office process left after printing" test -z "$(office_processes)"

step "print: Properties, US Letter and the driver's Grayscale"
rm -f "$cups_root"/pdf/*.pdf
focus_window "$preview"
xdotool key ctrl+p
check "print dialog shown" wait_for 20 title_windows "Print"
sleep 0.5
# shellcheck disable=SC2046
xdotool mousemove $(screen_reader where "Properties") sleep 0.2 click 1
check "printer properties shown" wait_for 20 title_windows "Printer Properties"
sleep 0.5
# The paper combo box is named by its choice, the queue's own A4.
# shellcheck disable=SC2046
xdotool mousemove $(screen_reader where "A4") sleep 0.2 click 1 sleep 0.5 type "US Letter"
xdotool key Return
sleep 0.3
# shellcheck disable=SC2046
xdotool mousemove $(screen_reader where "Advanced") sleep 0.2 click 1
sleep 0.5
# shellcheck disable=SC2046
xdotool mousemove $(screen_reader where "Color") sleep 0.2 click 1 sleep 0.5 type "Grayscale"
xdotool key Return
sleep 0.3
shot "$(title_windows "Printer Properties" | head -n1)" "$artefacts/print-properties.png"
xdotool key Return   # OK
sleep 0.5
focus_window "$(title_windows "Print" | head -n1)"
xdotool key alt+p    # Print
check "a PDF came from the queue" wait_for 60 printed_holds_message
check "one page of US Letter" bash -c "pdfinfo '$printed' | grep -Eq '^Page size: +612 x 792'"
check "the card whole on it" whole_on_page "$printed"
job=$(last_job)
check "the job asks for US Letter" test "$(job_attribute "$job" media)" = na_letter_8.5x11in
check "the job's colour mode is monochrome" test "$(job_attribute "$job" print-color-mode)" = monochrome
check "the driver's own option reached the job" test "$(job_attribute "$job" ColorModel)" = Gray

step "print: an instance of the queue, with the user's saved A5"
rm -f "$cups_root"/pdf/*.pdf
# Saved as a user saves them: in the walk's own home.
check "an instance with its own paper saved" lpoptions -p CardPDF/small -o media=A5
focus_window "$preview"
xdotool key ctrl+p
check "print dialog shown" wait_for 20 title_windows "Print"
sleep 0.5
# The printer's combo box is named by its choice: the last one, CardPDF.
# shellcheck disable=SC2046
xdotool mousemove $(screen_reader where "CardPDF") sleep 0.2 click 1 sleep 0.5 type "CardPDF/small"
xdotool key Return
sleep 0.5
xdotool key alt+p
check "a PDF came from the queue" wait_for 60 printed_holds_message
check "one page of A5" bash -c "pdfinfo '$printed' | grep -Eq '^Page size: +42[01](\\.[0-9]+)? x 595'"
check "the card whole on it" whole_on_page "$printed"
job=$(last_job)
check "the job went to the instance's queue" bash -c "[[ '$(job_attribute "$job" job-printer-uri)' == */printers/CardPDF ]]"
check "the job asks for the instance's A5" test "$(job_attribute "$job" media)" = iso_a5_148x210mm

step "save the card as a PDF: the Menu key on the card"
focus_window "$preview"
click_at "$preview" 300 250   # the card takes the focus
# What a screen reader is told while the menu opens and Down moves in it.
screen_reader announced 3 >"$artefacts/card-menu-announced.txt" &
announcer=$!
sleep 1
xdotool key Menu
sleep 0.5
shot root "$artefacts/card-menu.png"
xdotool key Down
wait "$announcer"
check "screen reader: the Menu key announces the menu item Print…, Down the menu item Save as PDF…" \
  test "$(cat "$artefacts/card-menu-announced.txt")" = "$menu_item_role | Print…
$menu_item_role | Save as PDF…"
xdotool key Return
check "Save as PDF dialog shown" wait_for 20 title_windows "Save as PDF"
sleep 0.5
saved_pdf="$work/saved/My card.pdf"
xdotool type --delay 5 "$saved_pdf"
xdotool key Return
check "Done. shown" wait_for 60 title_windows "Pelorin Greeting"
xdotool key Return
sleep 0.3
check "the PDF holds the message as text" holds_message "$saved_pdf"
check "every font of the PDF is embedded" fonts_embedded "$saved_pdf"
check "no office process left after the export" test -z "$(office_processes)"

# card_entry N: the card's menu from the keyboard, its entry N (0 is Print…).
card_entry() {
  focus_window "$preview"
  click_at "$preview" 300 250   # the card takes the focus
  xdotool key Menu
  sleep 0.5
  local _
  for _ in $(seq "$1"); do xdotool key Down; done
  xdotool key Return
}

step "send the card by e-mail: xdg-email and a mail program of the walk's own"
# The walk's mail program records how it was started; it is the user's
# mailto handler in the walk's own home and configuration.
mkdir -p "$HOME/.local/share/applications"
printf '#!/bin/sh\nprintf "%%s\\n" "$@" >"%s"\n' "$work/mail-arguments" >"$work/walk-mail"
chmod +x "$work/walk-mail"
printf '[Desktop Entry]\nType=Application\nName=Walk Mail\nExec=%s %%u\nMimeType=x-scheme-handler/mailto;\nNoDisplay=true\n' \
  "$work/walk-mail" >"$HOME/.local/share/applications/walk-mail.desktop"
check "the walk's mail program is the mailto handler" xdg-mime default walk-mail.desktop x-scheme-handler/mailto
card_entry 2
check "the mail program was started" wait_for 30 test -s "$work/mail-arguments"
mailto=$(head -n1 "$work/mail-arguments" 2>/dev/null)
echo "started with: $mailto"
check "with the subject Thank you" bash -c "[[ '$mailto' == mailto:\?*subject=Thank%20you* ]]"
attached=$(printf '%b' "$(sed -n 's/.*[?&]attach=\([^&]*\).*/\1/p' <<<"$mailto" | sed 's/%/\\x/g')")
attached=${attached#file://}
check "with a PDF named for the card attached" test "$(basename "$attached")" = "Thank you card.pdf"
check "the attachment holds the message as text" holds_message "$attached"

step "send the card by e-mail: the desktop's e-mail portal, where one answers"
rm -f "$work/mail-arguments"
coproc portal { exec /usr/bin/python3 "$here/mail_portal.py" "$work/portal-calls"; }
portal_pid=$portal_PID
read -r -t 20 ready <&"${portal[0]}"
check "the walk's portal owns its name on the session bus" test "${ready:-}" = ready
card_entry 2
check "the portal was asked to compose a message" wait_for 30 test -s "$work/portal-calls"
check "with the subject Thank you, and no address" \
  /usr/bin/python3 -c 'import json, sys; call = json.loads(open(sys.argv[1]).readline())
sys.exit(not (call["subject"] == "Thank you" and "address" not in call and "addresses" not in call))' "$work/portal-calls"
portal_attachment=$(/usr/bin/python3 -c 'import json, sys; print(json.loads(open(sys.argv[1]).readline())["attachments"][0]["path"])' "$work/portal-calls")
check "the descriptor passed is the PDF named for the card" test "$(basename "$portal_attachment")" = "Thank you card.pdf"
check "read from the descriptor, it holds the message as text" holds_message "$work/portal-calls.1.0"
check "xdg-email was not needed" test ! -e "$work/mail-arguments"
kill "$portal_pid" 2>/dev/null
wait "$portal_pid" 2>/dev/null
portal_pid=

step "copy the card: Ctrl+C on the card"
focus_window "$preview"
click_at "$preview" 300 250
xdotool key ctrl+c
sleep 1
clipboard_types=$(timeout 10 xclip -selection clipboard -t TARGETS -o 2>/dev/null | tr '\n' ' ')
echo "offered: $clipboard_types"
timeout 20 xclip -selection clipboard -t image/png -o >"$work/copied.png" 2>/dev/null
check "the clipboard holds the card as a picture at 300 dpi of its page (2550 × 3300)" \
  test "$(identify -format '%m %w %h' "$work/copied.png" 2>/dev/null)" = "PNG 2550 3300"
timeout 20 xclip -selection clipboard -t application/pdf -o >"$work/copied.pdf" 2>/dev/null
check "and as its PDF, with the message as text" holds_message "$work/copied.pdf"

step "save the card as a picture: PNG and JPEG"
for picture in "My card.png" "My card.jpg"; do
  card_entry 4
  check "Save as Picture dialog shown" wait_for 20 title_windows "Save as Picture"
  sleep 0.5
  xdotool type --delay 5 "$work/saved/$picture"
  xdotool key Return
  check "Done. shown" wait_for 60 title_windows "Pelorin Greeting"
  xdotool key Return
  sleep 0.3
done
check "a PNG of the card at printing detail" test "$(identify -format '%m %w %h' "$work/saved/My card.png" 2>/dev/null)" = "PNG 2550 3300"
check "a JPEG of the card at printing detail" test "$(identify -format '%m %w %h' "$work/saved/My card.jpg" 2>/dev/null)" = "JPEG 2550 3300"
check "no office process left after sending, copying and saving" test -z "$(office_processes)"

step "a queue that rejects jobs: Ctrl+P gives the error message"
cupsreject -r "closed for the test" CardPDF
focus_window "$preview"
xdotool key ctrl+p
check "print dialog shown" wait_for 20 title_windows "Print"
xdotool key Return
error_box=$(error_box_within 60)
need "error message" "$error_box"
sleep 0.3
screen_reader tree >"$artefacts/print-rejected-tree.txt"
# The dialog opened on the last choice, the instance.
check "the error message says the queue does not accept jobs, in mnuPrint_Click" \
  bash -c "tr '\n' ' ' <'$artefacts/print-rejected-tree.txt' | grep -q 'could not be printed on \"CardPDF/small\": .*not accepting jobs.*mnuPrint_Click'"
xdotool key Return
cupsaccept CardPDF

step "a document the scheduler refuses: the error message, and no job left waiting without it"
cups_stop
cups_extra_conf="MaxRequestSize 4k" cups_start "$cups_root" >/dev/null
check "the scheduler takes no request over 4 kB" grep -q '^MaxRequestSize 4k' "$cups_root/etc/cupsd.conf"
focus_window "$preview"
xdotool key ctrl+p
check "print dialog shown" wait_for 20 title_windows "Print"
xdotool key Return
error_box=$(error_box_within 60)
need "error message" "$error_box"
sleep 0.3
screen_reader tree >"$artefacts/print-refused-tree.txt"
check "the error message names the queue, in mnuPrint_Click" \
  bash -c "tr '\n' ' ' <'$artefacts/print-refused-tree.txt' | grep -q 'could not be printed on \"CardPDF/small\": .*mnuPrint_Click'"
xdotool key Return
check "no job waits in the queue" test -z "$(lpstat -o CardPDF 2>/dev/null)"
cups_stop
cups_start "$cups_root" >/dev/null

step "right click, Print…, the scheduler stopped: the error message, and the program goes on"
xdotool mousemove --window "$preview" 300 300 click 3
sleep 0.5
xdotool mousemove --window "$preview" 340 312 sleep 0.2 click 1   # the first entry, under the pointer
check "print dialog shown from the card's menu" wait_for 20 title_windows "Print"
need "print dialog" "$(title_windows "Print")"
cups_stop
check "the scheduler has stopped" test "$(LC_ALL=C lpstat -r 2>&1)" != "scheduler is running"
xdotool key Return
error_box=$(error_box_within 60)
need "error message" "$error_box"
sleep 0.3
shot "$error_box" "$artefacts/print-error.png"
screen_reader tree >"$artefacts/print-error-tree.txt"
check "the error message says the print system does not answer, in mnuPrint_Click" \
  bash -c "tr '\n' ' ' <'$artefacts/print-error-tree.txt' | grep -q 'could not be printed: the print system (CUPS) does not answer.*mnuPrint_Click'"
xdotool key Return
sleep 0.5
check "the program goes on with its preview" test -n "$(preview_window)"
check "no office process left after the failed print" test -z "$(office_processes)"

step "back, a second card, close"
click_at "$preview" 164 603
check "main window shown again" wait_for 20 main_window
need "main window after < Back" "$(main_window)"
check "preview hidden" bash -c "! xdotool search --onlyvisible --name '^Pelorin Greeting Designer\$' | xargs -r -n1 xwininfo -id | grep -q 'Width: 656'"
check "card document removed" test ! -e "$card"
check "saved copy kept" test -f "$saved"
main=$(main_window)
click_at "$main" 268 21
check "second preview shown" wait_for 60 preview_window
preview=$(preview_window)
need "second preview" "$preview"
second=$(ls "$TEMP"/vestok*.doc 2>/dev/null | head -n1)
check "second card document made" test -f "$second"
"$close_window" "$preview"
check "program ended after closing the preview" wait_for 20 bash -c "! kill -0 $app_pid"
check "second card document removed" test ! -e "$second"
check "temporary folder empty" test -z "$(ls -A "$TEMP")"
check "no office process left" test -z "$(office_processes)"
app_pid=

step "a print server that takes the connection and never answers: Ctrl+P costs a few seconds"
# A stuck network print server, or a laptop away from the office whose
# client.conf names the office's server.
python3 -c 'import socket, sys, time
s = socket.socket(socket.AF_UNIX); s.bind(sys.argv[1]); s.listen(8); time.sleep(600)' "$work/silent.sock" &
silent_pid=$!
CUPS_SERVER=$work/silent.sock "$program" >>"$artefacts/program.log" 2>&1 &
app_pid=$!
check "main window shown" wait_for 60 main_window
main=$(main_window)
need "main window" "$main"
focus_window "$main"
xdotool key Tab Return
check "preview shown" wait_for 60 preview_window
preview=$(preview_window)
need "preview" "$preview"
focus_window "$preview"
asked=$SECONDS
xdotool key ctrl+p
error_box=$(error_box_within 20)
waited=$((SECONDS - asked))
need "error message" "$error_box"
dialogs=$(title_windows "Print")
check "the error message came within a few seconds (${waited} s)" test "$waited" -le 8
check "no print dialog opened" test -z "$dialogs"
screen_reader tree >"$artefacts/print-silent-tree.txt"
check "it says the print system does not answer, in mnuPrint_Click" \
  bash -c "tr '\n' ' ' <'$artefacts/print-silent-tree.txt' | grep -q 'the print system (CUPS) does not answer at $work/silent.sock.*mnuPrint_Click'"
xdotool key Return
sleep 0.5
shot "$preview" "$artefacts/preview-after-silent.png"
click_at "$preview" 172 557   # Zoom In
check "afterwards the preview answers: Zoom In enlarged the card" \
  card_changes "$preview" "$artefacts/preview-after-silent-zoomed.png" "$artefacts/preview-after-silent.png"
kill "$silent_pid" 2>/dev/null

step "the card copied stays on the clipboard after the program ends, where a clipboard manager runs"
mkdir -p "$work/manager"
"$clipboard_manager" "$work/manager" >"$work/manager.out" 2>&1 &
manager_pid=$!
check "the walk's clipboard manager runs" wait_for 10 grep -q ready "$work/manager.out"
focus_window "$preview"
click_at "$preview" 300 250
xdotool key ctrl+c
sleep 1
"$close_window" "$preview"
check "program ended" wait_for 20 bash -c "! kill -0 $app_pid"
app_pid=
check "the manager was handed the picture's and the PDF's forms" \
  bash -c "grep -qx image/png '$work/manager/targets' && grep -qx application/pdf '$work/manager/targets'"
check "and took the PDF, with the message as text" holds_message "$work/manager/clipboard.pdf"
kill "$manager_pid" 2>/dev/null
manager_pid=

step "the close box behind an open message does nothing"
# The message holds the procedure until it is answered; the window behind
# it takes no input, its close box included.
"$program" >>"$artefacts/program.log" 2>&1 &
app_pid=$!
check "main window shown" wait_for 60 main_window
main=$(main_window)
need "main window" "$main"
click_at "$main" 136 55   # Help
check "Help message shown" wait_for 20 title_windows "Pelorin Greeting"
help_box=$(title_windows "Pelorin Greeting" | head -n1)
need "Help message" "$help_box"
"$close_window" "$main"
sleep 1
check "the program goes on with the message open" kill -0 "$app_pid"
check "the Help message stays" test -n "$(title_windows "Pelorin Greeting")"
focus_window "$help_box"
xdotool key Return   # OK
check "OK closes the message" wait_for 10 bash -c "! xdotool search --onlyvisible --name '^Pelorin Greeting\$'"
check "the main window is still there" test -n "$(main_window)"
"$close_window" "$main"
check "then the close box ends the program" wait_for 20 bash -c "! kill -0 $app_pid"
app_pid=

step "a card as an ordinary user: umask 002, no TEMP, no XDG_RUNTIME_DIR"
# Root ignores file modes, so this runs as nobody, with the umask of
# Ubuntu's user private groups and none of the folders a login session
# provides; the program is copied where that user may run it.
user_root=$(mktemp -d /tmp/pelorin-e2e-user.XXXXXX)
chmod 755 "$user_root"
install -m 755 "$program" "$user_root/pelorin-greeting-designer"
mkdir "$user_root/home"
chown nobody:nogroup "$user_root/home"
env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin LANG=C.UTF-8 DISPLAY="$DISPLAY" HOME="$user_root/home" \
  setpriv --reuid=nobody --regid=nogroup --clear-groups \
  sh -c 'umask 002; exec "$0"' "$user_root/pelorin-greeting-designer" >>"$artefacts/program.log" 2>&1 &
app_pid=$!
check "main window shown" wait_for 60 main_window
main=$(main_window)
need "main window of the ordinary user" "$main"
focus_window "$main"
xdotool key Tab
sleep 0.3
xdotool key Return
check "preview shown, no error message" wait_for 60 preview_window
preview=$(preview_window)
need "preview of the ordinary user" "$preview"
user_temp=$user_root/home/.cache/pelorin-greeting-designer
check "the card is in the user's private temporary folder" bash -c "ls '$user_temp'/vestok*.doc >/dev/null"
check "that folder and the profile cache are private (0700)" \
  test "$(stat -c %a "$user_temp" "$user_temp/office" | sort -u)" = 700
"$close_window" "$preview"
check "program ended" wait_for 20 bash -c "! kill -0 $app_pid"
check "no office process of the user left" bash -c "! pgrep -u nobody -f soffice.bin"
app_pid=
rm -rf "$user_root"

step "the program in German: LANGUAGE=de, one card"
# The program takes its texts from LANGUAGE and Qt's dialogs theirs from
# Qt's own German catalogue; LANG gives the dialogs' dates and numbers, from
# a locale the walk makes when the machine lacks it.
locale -a 2>/dev/null | grep -qix 'de_DE.utf-\?8' || localedef -i de_DE -f UTF-8 de_DE.UTF-8
check "a German locale to run in" bash -c "locale -a | grep -qix 'de_DE.utf-\?8'"
env -u LC_ALL -u LC_MESSAGES LANG=de_DE.UTF-8 LANGUAGE=de "$program" >>"$artefacts/program.log" 2>&1 &
app_pid=$!
check "main window shown" wait_for 60 main_window
main=$(main_window)
need "main window in German" "$main"
shot "$main" "$artefacts/main-window-de.png"
focus_window "$main"
check "screen reader: the focus in the message box, named by its German frame" \
  wait_for 20 reads "window: frame | Pelorin Greeting Designer~focus: text | Kurze Nachricht~*"
screen_reader tree >"$artefacts/accessible-tree-de.txt"
check "screen reader: the main window's buttons read German" \
  bash -c "grep -q 'push button | Vorlage erstellen |' '$artefacts/accessible-tree-de.txt' \
    && grep -q 'push button | Hilfe |' '$artefacts/accessible-tree-de.txt' \
    && grep -q 'push button | Beispieldaten laden |' '$artefacts/accessible-tree-de.txt'"
xdotool key Tab
sleep 0.3
xdotool key Return
check "preview shown" wait_for 60 preview_window
preview=$(preview_window)
need "preview in German" "$preview"
sleep 1
shot "$preview" "$artefacts/preview-window-de.png"
# The same message as the first card: the card itself is the same in every language.
check "the card looks as the English one did" \
  test "$(viewport_of "$artefacts/preview-window-de.png")" = "$(viewport_of "$artefacts/preview-window.png")"
card_de=$(ls "$TEMP"/vestok*.doc 2>/dev/null | head -n1)
check "the card document holds the text of the English one" \
  bash -c "[ -f '$card_de' ] && [ \"\$(catdoc -d utf-8 '$card_de')\" = \"\$(catdoc -d utf-8 '$saved')\" ]"
focus_window "$preview"
check "screen reader: the card is the Grußkarte, described in German" \
  wait_for 20 reads "*~focus: image | Grußkarte~description: Nachricht auf der Karte: / $message_line1 / $message_line2 / Zoom 100 %~"
screen_reader tree >"$artefacts/accessible-tree-de.txt"
check "screen reader: the preview's buttons read German" \
  bash -c "grep -q 'push button | Vergrößern |' '$artefacts/accessible-tree-de.txt' \
    && grep -q 'push button | Verkleinern |' '$artefacts/accessible-tree-de.txt' \
    && grep -q 'push button | < Zurück |' '$artefacts/accessible-tree-de.txt' \
    && grep -q 'push button | Ergebnisse als Word-Datei speichern |' '$artefacts/accessible-tree-de.txt'"
screen_reader announced 3 >"$artefacts/card-menu-announced-de.txt" &
announcer=$!
sleep 1
xdotool key Menu
sleep 0.5
shot root "$artefacts/card-menu-de.png"
xdotool key Down
wait "$announcer"
check "screen reader: the card's menu reads Drucken…, then Als PDF speichern…" \
  test "$(cat "$artefacts/card-menu-announced-de.txt")" = "$menu_item_role | Drucken…
$menu_item_role | Als PDF speichern…"
xdotool key Escape
sleep 0.3
saved_de="$work/saved/Karte.doc"
xdotool key ctrl+s
check "the Save dialog has its German title" wait_for 20 title_windows "Datei speichern"
sleep 0.5
xdotool type --delay 5 "$saved_de"
xdotool key Return
check "a message shown" wait_for 20 title_windows "Pelorin Greeting"
sleep 0.3
screen_reader tree >"$artefacts/message-box-de.txt"
check "screen reader: the message reads Fertig." grep -q 'label | Fertig\. |' "$artefacts/message-box-de.txt"
xdotool key Return
sleep 0.3
check "the card saved" test -f "$saved_de"
# Saved again under the same name: the overwrite question.
xdotool key ctrl+s
check "the Save dialog shown again" wait_for 20 title_windows "Datei speichern"
sleep 0.5
xdotool type --delay 5 "$saved_de"
xdotool key Return
check "the overwrite question shown" wait_for 20 title_windows "Pelorin Greeting"
sleep 0.3
shot "$(title_windows "Pelorin Greeting" | head -n1)" "$artefacts/overwrite-question-de.png"
screen_reader tree >"$artefacts/message-box-de.txt"
check "screen reader: the question and its buttons Ja and Nein, from Qt's catalogue, read German" \
  bash -c "grep -q 'Möchten Sie .*Karte.doc wirklich überschreiben?' '$artefacts/message-box-de.txt' \
    && grep -q 'push button | Ja |' '$artefacts/message-box-de.txt' && grep -q 'push button | Nein |' '$artefacts/message-box-de.txt'"
xdotool key Return   # Ja
sleep 0.5
check "Fertig. after the question" wait_for 20 title_windows "Pelorin Greeting"
xdotool key Return
sleep 0.3
focus_window "$preview"
xdotool key ctrl+p
check "the print dialog is titled Drucken, from Qt's catalogue" wait_for 20 title_windows "Drucken"
print_dialog=$(title_windows "Drucken" | head -n1)
need "German print dialog" "$print_dialog"
sleep 0.5
shot "$print_dialog" "$artefacts/print-dialog-de.png"
screen_reader tree >"$artefacts/print-dialog-de.txt"
check "screen reader: the print dialog's buttons read Drucken and Abbrechen" \
  bash -c "grep -q 'push button | Drucken |' '$artefacts/print-dialog-de.txt' && grep -q 'push button | Abbrechen |' '$artefacts/print-dialog-de.txt'"
xdotool key Escape
sleep 0.3
check "no German error message came" test -z "$(title_windows Anwendungsfehler)"
"$close_window" "$preview"
check "program ended" wait_for 20 bash -c "! kill -0 $app_pid"
app_pid=

step "the preview moved by a window manager onto a denser screen"
# A server of its own with two monitors side by side, the right one of
# device pixel ratio 2, and a real window manager: it moves windows from
# outside, without asking the program for a new size.
Xvfb -displayfd 3 -screen 0 2700x1400x24 -dpi 96 -nolisten tcp -noreset 3>"$work/display2" >/dev/null 2>&1 &
xvfb2_pid=$!
for _ in $(seq 100); do [ -s "$work/display2" ] && break; sleep 0.1; done
export DISPLAY=":$(head -n1 "$work/display2")"
for _ in $(seq 50); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done
xrandr --setmonitor ordinary 1000/264x1400/370+0+0 screen >/dev/null
xrandr --setmonitor dense 1700/450x1400/370+1000+0 none >/dev/null
openbox >/dev/null 2>&1 &
wm_pid=$!
check "two monitors" test "$(xrandr --listmonitors | head -n1)" = "Monitors: 2"
QT_SCREEN_SCALE_FACTORS="ordinary=1;dense=2" "$program" >>"$artefacts/program.log" 2>&1 &
app_pid=$!
check "main window shown" wait_for 60 main_window
main=$(main_window)
need "main window beside a denser screen" "$main"
xdotool windowactivate --sync "$main"
sleep 0.3
xdotool key Tab
sleep 0.3
xdotool key Return
check "preview shown" wait_for 60 preview_window
preview=$(preview_window)
need "preview beside a denser screen" "$preview"
sleep 1
shot "$preview" "$artefacts/preview-ordinary-screen.png"
xdotool windowmove "$preview" 1100 50
check "on the denser screen the preview is whole: twice the pixels each way" \
  wait_for 10 bash -c "xwininfo -id $preview | grep -q 'Width: 1312' && xwininfo -id $preview | grep -q 'Height: 1252'"
sleep 1
shot "$preview" "$artefacts/preview-dense-screen.png"
# Halved, it shows what it showed on the ordinary screen: the same layout,
# not a part of it enlarged. (That its card is drawn at the screen's own
# detail is the picture box's test.)
convert "$artefacts/preview-dense-screen.png" -resize "656x626!" "$work/halved.png"
halved_difference=$(compare -metric RMSE "$work/halved.png" "$artefacts/preview-ordinary-screen.png" null: 2>&1 | sed 's/.*(\(.*\))/\1/')
check "the same window, halved (RMSE $halved_difference)" awk "BEGIN { exit !($halved_difference < 0.1) }"
"$close_window" "$preview"
check "program ended" wait_for 20 bash -c "! kill -0 $app_pid"
app_pid=

finish
