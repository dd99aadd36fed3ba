#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 Pelorin Greetings

# A CUPS scheduler of a test's own, which leaves the machine's own printing
# untouched: its configuration, socket, spool, cache, state and logs in a
# scratch folder, no network port, and one queue, "CardPDF" (cups-pdf),
# which writes each job as a PDF into FOLDER/pdf. The cups-pdf backend
# reads its settings only from /etc/cups/cups-pdf.conf; the scheduler runs
# in a mount namespace of its own in which the folder's configuration is
# mounted there, so the machine's file is neither read nor changed. The
# queue's driver is cups-pdf's with a colour model added. Needs
# root, as a scheduler does; no system scheduler need run.
#
# As a library (source it):  cups_start FOLDER   sets CUPS_SERVER and cups_pid
#                            (cupsd.conf takes $cups_extra_conf's lines too)
#                            cups_stop           stops it and waits for it
# As a program:  private_cups.sh serve FOLDER   starts it, prints the socket,
#                                               stops it when stdin closes

cups_start() {
  cups_dir=$1
  mkdir -p "$cups_dir/etc/ppd" "$cups_dir/etc/ssl" "$cups_dir/log" "$cups_dir/pdf"
  # The scheduler runs the filters as the user lp, who must reach the spool.
  chmod 755 "$cups_dir"
  cat >"$cups_dir/etc/cups-files.conf" <<END
ServerRoot $cups_dir/etc
RequestRoot $cups_dir/spool
CacheDir $cups_dir/cache
StateDir $cups_dir/state
AccessLog $cups_dir/log/access_log
ErrorLog $cups_dir/log/error_log
PageLog $cups_dir/log/page_log
Printcap $cups_dir/printcap
SystemGroup root
END
  cat >"$cups_dir/etc/cupsd.conf" <<END
Listen $cups_dir/cups.sock
Browsing No
WebInterface No
LogLevel info
${cups_extra_conf:-}
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
END
  cat >"$cups_dir/etc/cups-pdf.conf" <<END
Out $cups_dir/pdf
AnonDirName $cups_dir/pdf
Spool $cups_dir/cups-pdf-spool
Log $cups_dir/log
Grp root
END
  # In a chroot the root is no mount point, and its propagation cannot be
  # made private; it is left as it is, and should the bind below show
  # outside the namespace after all, cups_stop takes it away.
  local propagation=private
  mountpoint -q / || propagation=unchanged
  unshare --mount --propagation "$propagation" \
    sh -c 'mount --bind "$0/etc" /etc/cups && exec cupsd -f -c "$0/etc/cupsd.conf" -s "$0/etc/cups-files.conf"' \
    "$cups_dir" >"$cups_dir/log/cupsd.out" 2>&1 &
  cups_pid=$!
  export CUPS_SERVER=$cups_dir/cups.sock
  local _
  for _ in $(seq 100); do cups_running && break; sleep 0.1; done
  cups_running || { cat "$cups_dir/log/cupsd.out" >&2; return 1; }
  # The driver gets a colour model to choose, as a colour printer's has
  # (cups-pdf's own has none, and Qt's print dialog offers a queue's
  # colour mode only through it).
  sed '/^\*OpenGroup: General/a\
*OpenUI *ColorModel/Color Mode: PickOne\
*OrderDependency: 10 AnySetup *ColorModel\
*DefaultColorModel: RGB\
*ColorModel Gray/Grayscale: "<</ProcessColorModel /DeviceGray>>setpagedevice"\
*ColorModel RGB/Color: "<</ProcessColorModel /DeviceRGB>>setpagedevice"\
*CloseUI: *ColorModel' /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd >"$cups_dir/CardPDF.ppd"
  # Poppler's Cairo renderer keeps the text of the PDF as text on its way
  # through PostScript (the default renderer keeps only the glyphs).
  lpadmin -p CardPDF -E -v cups-pdf:/ -P "$cups_dir/CardPDF.ppd" \
    -o pdftops-renderer-default=pdftocairo 2>/dev/null &&
    lpadmin -d CardPDF
}

# lpstat answers 0 whether or not the scheduler runs.
cups_running() { [ "$(LC_ALL=C lpstat -r 2>/dev/null)" = "scheduler is running" ]; }

cups_stop() {
  [ -n "${cups_pid:-}" ] || return 0
  kill "$cups_pid" 2>/dev/null
  wait "$cups_pid" 2>/dev/null
  cups_pid=
  if [ "$(stat -c %d:%i /etc/cups 2>/dev/null)" = "$(stat -c %d:%i "$cups_dir/etc" 2>/dev/null)" ]; then
    umount /etc/cups
  fi
}

if [ "${BASH_SOURCE[0]}" = "$0" ] && [ "${1:-}" = serve ]; then
  trap cups_stop EXIT
  trap "exit 1" TERM INT HUP
  cups_start "$2" || exit 1
  echo "$CUPS_SERVER"
  # In the background: a signal's trap runs at once, not when cat ends.
  cat <&0 >/dev/null &
  wait $!
fi
