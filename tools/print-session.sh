# Sourced by the run and test scripts: a private CUPS server with one queue "PDF" whose jobs land
# as PDF files in a folder of its own, so that Wine lists "PDF" as its default printer and tests
# can read printed pages back (pdftoppm). It never touches the machine's own CUPS: own
# configuration, spool, state, logs and socket, all under one folder.
#
#   print_session_start FOLDER   start cupsd (quietly does nothing when CUPS is not installed)
#   print_session_stop           stop it again (the callers put it in an EXIT trap)
#
# Afterwards CUPS_SERVER names the private socket (libcups, and so Wine, use it) and
# LUMATRE_PRINT_OUTPUT the folder that receives one PDF per job. LUMATRE_PRINT_OFF=1 skips the
# server (tests then see no printer at all).

PRINT_SESSION_PID=
PRINT_SESSION_DIR=

print_session_available() {
  command -v cupsd >/dev/null 2>&1 && command -v lpadmin >/dev/null 2>&1 && command -v gs >/dev/null 2>&1 &&
    [ -f /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd ]
}

print_session_start() {  # folder
  [ -z "${LUMATRE_PRINT_OFF:-}" ] || return 0
  print_session_available || { echo "print-session: CUPS, cups-pdf or ghostscript missing; no printer" >&2; return 0; }
  local dir
  dir="$(mkdir -p "$1" && cd "$1" && pwd)"
  PRINT_SESSION_DIR="$dir"
  # Job numbers start at 1 again with every server: old PDFs would be overwritten unnoticed.
  rm -rf "$dir/spool" "$dir/state" "$dir/cache" "$dir/log" "$dir/serverbin" "$dir/etc" "$dir/output"
  mkdir -p "$dir/spool/tmp" "$dir/state" "$dir/cache" "$dir/log" "$dir/serverbin/backend" "$dir/etc/ppd" \
    "$dir/output"
  chmod 0755 "$dir" "$dir/serverbin" "$dir/serverbin/backend"
  chmod 1777 "$dir/output" "$dir/spool/tmp"
  local part
  for part in filter daemon cgi-bin driver notifier monitor; do
    [ -e "/usr/lib/cups/$part" ] && ln -sfn "/usr/lib/cups/$part" "$dir/serverbin/$part"
  done
  # The queue's backend: the PostScript that reaches it becomes one PDF per job.
  cat >"$dir/serverbin/backend/lumatre-pdf" <<BACKEND
#!/bin/sh
if [ \$# -eq 0 ]; then echo 'file lumatre-pdf "Unknown" "Lumatre PDF output"'; exit 0; fi
out="$dir/output/job-\$1.pdf"
if [ -n "\$6" ]; then in="\$6"; else in=-; fi
gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=pdfwrite -sOutputFile="\$out.part" "\$in" >/dev/null 2>&1 || exit 1
chmod 0644 "\$out.part"; mv "\$out.part" "\$out"
BACKEND
  chmod 0755 "$dir/serverbin/backend/lumatre-pdf"
  cat >"$dir/etc/cups-files.conf" <<CONF
ServerRoot $dir/etc
RequestRoot $dir/spool
TempDir $dir/spool/tmp
CacheDir $dir/cache
StateDir $dir/state
ServerBin $dir/serverbin
AccessLog $dir/log/access_log
ErrorLog $dir/log/error_log
PageLog $dir/log/page_log
Printcap $dir/state/printcap
FileDevice No
Sandboxing Relaxed
CONF
  cat >"$dir/etc/cupsd.conf" <<CONF
Listen $dir/cups.sock
Browsing Off
WebInterface No
LogLevel info
DefaultAuthType None
<Location />
  Order allow,deny
  Allow all
</Location>
<Location /admin>
  Order allow,deny
  Allow all
</Location>
<Policy default>
  <Limit All>
    Order allow,deny
    Allow all
  </Limit>
</Policy>
CONF
  chmod 0644 "$dir/etc/cupsd.conf" "$dir/etc/cups-files.conf"
  rm -f "$dir/cups.sock"
  cupsd -f -c "$dir/etc/cupsd.conf" -s "$dir/etc/cups-files.conf" >"$dir/log/cupsd.out" 2>&1 &
  PRINT_SESSION_PID=$!
  export CUPS_SERVER="$dir/cups.sock"
  export LUMATRE_PRINT_OUTPUT="$dir/output"
  local i
  for i in $(seq 1 50); do
    [ -S "$dir/cups.sock" ] && lpstat -r >/dev/null 2>&1 && break
    sleep 0.1
  done
  if ! lpadmin -p PDF -v lumatre-pdf:/ -E -P /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd -o PageSize=A4 >/dev/null 2>&1 ||
    ! lpadmin -d PDF >/dev/null 2>&1; then
    echo "print-session: could not set up the PDF queue (see $dir/log)" >&2
    print_session_stop
    return 0
  fi
}

print_session_stop() {
  if [ -n "$PRINT_SESSION_PID" ]; then
    kill "$PRINT_SESSION_PID" 2>/dev/null || true
    local i
    for i in $(seq 1 30); do kill -0 "$PRINT_SESSION_PID" 2>/dev/null || break; sleep 0.1; done
    kill -9 "$PRINT_SESSION_PID" 2>/dev/null || true
    wait "$PRINT_SESSION_PID" 2>/dev/null || true
  fi
  PRINT_SESSION_PID=
  unset CUPS_SERVER
}
