# Sourced by scripts/test.sh after wine-env.sh: a print system for the printing tests.
#  - CUPS: when its scheduler is installed but not running (no service manager here), it is started in the
#    background and stopped again, by its process id, when the last test run using it ends; the cups-pdf queue "PDF" is added when
#    missing and made the default. The tests learn of it through TAVREL_CUPS_PDF=1 and TAVREL_PDF_DIR (where
#    cups-pdf writes); without CUPS they skip what needs a printer and the script goes on.
#  - Fonts: the users' Arial, Times New Roman and Courier New are stood in for by metric-compatible fonts in the
#    test prefix, so text breaks into lines and pages as on their machines.
#  - TAVREL_PRINT_OUT: the folder the printing tests write their jobs to, read by check_pdf.sh afterwards.
# Several test runs on one machine (worktrees side by side) share the one scheduler: each run registers itself, and
# the scheduler one of them started is stopped by the last run to end, never under another run's print job.
print_state=${TMPDIR:-/tmp}/tavrel-cups
mkdir -p "$print_state/runs"
print_cups_running() { [[ "$(lpstat -r 2>/dev/null || true)" == *"is running"* ]]; }
print_forget_ended_runs() {
  local run
  for run in "$print_state"/runs/*; do
    [ -e "$run" ] || continue
    kill -0 "${run##*/}" 2>/dev/null || rm -f "$run"
  done
}
print_leave() {
  (
    flock 9
    rm -f "$print_state/runs/$$"
    print_forget_ended_runs
    if [ -z "$(ls -A "$print_state/runs")" ] && [ -f "$print_state/cupsd.pid" ]; then
      kill "$(cat "$print_state/cupsd.pid")" 2>/dev/null || true
      rm -f "$print_state/cupsd.pid"
    fi
  ) 9>"$print_state/lock"
}
if [ -x /usr/sbin/cupsd ] && command -v lpstat >/dev/null 2>&1 && command -v lpadmin >/dev/null 2>&1; then
  trap print_leave EXIT
  {
    flock 9
    print_forget_ended_runs
    : > "$print_state/runs/$$"
    if ! print_cups_running; then
      # setsid: the scheduler may outlive this run when another run still needs it.
      setsid /usr/sbin/cupsd -f </dev/null >/dev/null 2>&1 9>&- &
      echo $! > "$print_state/cupsd.pid"
      for _ in $(seq 1 100); do print_cups_running && break; sleep 0.2; done
    fi
  } 9>"$print_state/lock"
  ppd=/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd
  if print_cups_running && ! lpstat -p PDF >/dev/null 2>&1 && [ -f "$ppd" ]; then
    lpadmin -p PDF -E -v cups-pdf:/ -P "$ppd" >/dev/null 2>&1 || true
    lpadmin -d PDF >/dev/null 2>&1 || true
  fi
  if print_cups_running && lpstat -p PDF >/dev/null 2>&1; then
    export TAVREL_CUPS_PDF=1
    # cups-pdf writes into the home of the job's owner (Out ${HOME}/PDF), which is the user running the tests.
    home=$(getent passwd "$(id -un)" 2>/dev/null | cut -d: -f6 || true)
    if [ -n "$home" ] && mkdir -p "$home/PDF" 2>/dev/null; then
      export TAVREL_PDF_DIR="Z:${home//\//\\}\\PDF"
    fi
  fi
fi
export TAVREL_PRINT_OUT_UNIX="$build/print-out"
rm -rf "$TAVREL_PRINT_OUT_UNIX"
mkdir -p "$TAVREL_PRINT_OUT_UNIX"
export TAVREL_PRINT_OUT="Z:${TAVREL_PRINT_OUT_UNIX//\//\\}"
if [ -z "$(ls /usr/share/fonts/truetype/liberation*/LiberationSans-Regular.ttf 2>/dev/null)" ]; then
  :
elif ! grep -q '"MS Sans Serif"="DejaVu Sans"' "$WINEPREFIX/user.reg" 2>/dev/null; then
  {
    echo "Windows Registry Editor Version 5.00"
    echo
    echo '[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]'
    echo '"Arial"="Liberation Sans"'
    echo '"Times New Roman"="Liberation Serif"'
    echo '"Courier New"="Liberation Mono"'
    # MS Sans Serif has no metric-compatible font and the bitmap face Wine brings has no Turkish letters: it keeps
    # the face it fell back to before the Liberation fonts came (whose small bold sizes are barely heavier).
    echo '"MS Sans Serif"="DejaVu Sans"'
  } > "$build/font-substitutes.reg"
  wine reg import "$build/font-substitutes.reg" </dev/null >/dev/null 2>&1 || true
  wineserver -w || true
fi
