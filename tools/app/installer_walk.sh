# Functions that drive the installer window under X with real input (xdotool): start it, find its
# window, click a control of a page at the point the skin's own layout gives, take screenshots.
# Sourced by tests/app/window/installer_gui_test.sh and scripts/run_installer.sh, after
# scripts/wine_env.sh; DISPLAY must name the X server.
#
#   iw_layout <skin_layout_probe.exe> <installer.exe> <out-file>   control rectangles per page
#   iw_start <installer.exe> [log]   starts the installer; sets IW_PID, IW_WIN, IW_X, IW_Y
#   iw_click <page> <name>           clicks the centre of that control on that page
#   iw_shot <file.png>               screenshot of the whole screen
#   iw_wait_exit <seconds>           waits for the installer to end; sets IW_RC (124: still running)
#   iw_close                         asks the window to close (Alt+F4, as a user would)

IW_LAYOUT_FILE=

iw_layout() {
  local probe=$1 installer=$2 out=$3 log
  log=$(mktemp)
  "$WINE_LOADER" "$probe" "$(win_path "$installer")" </dev/null >"$log" 2>&1 || true
  tr -d '\r' <"$log" | grep -E '^[0-9]+ [A-Za-z_]+ -?[0-9]+ -?[0-9]+ -?[0-9]+ -?[0-9]+$' >"$out" || true
  rm -f "$log"
  IW_LAYOUT_FILE=$out
  [[ -s "$out" ]]
}

# The installer's own window: the 600 x 400 one (the shadow is a second, larger window).
iw_find_window() {
  local id geometry
  for id in $(xdotool search --onlyvisible --pid "$IW_PID" 2>/dev/null) \
            $(xdotool search --onlyvisible --classname "^${IW_EXE_NAME:-installer.exe}\$" 2>/dev/null); do
    geometry=$(xdotool getwindowgeometry --shell "$id" 2>/dev/null) || continue
    if grep -qx 'WIDTH=600' <<<"$geometry" && grep -qx 'HEIGHT=400' <<<"$geometry"; then
      IW_WIN=$id
      IW_X=$(sed -n 's/^X=//p' <<<"$geometry")
      IW_Y=$(sed -n 's/^Y=//p' <<<"$geometry")
      return 0
    fi
  done
  return 1
}

iw_start() {
  local installer=$1 log=${2:-/dev/null}
  IW_WIN= IW_RC=
  # Wine names the window class after the program file; the process that shows a 32-bit
  # program's window need not be the one started here.
  IW_EXE_NAME=$(basename "$installer")
  "$WINE_LOADER" "$installer" </dev/null >"$log" 2>&1 &
  IW_PID=$!
  local i
  for i in $(seq 1 200); do
    # Shown, centred and painted: the window is mapped before it is moved and drawn.
    if iw_find_window && [[ "$IW_X" != 0 || "$IW_Y" != 0 ]] && iw_painted; then
      sleep 0.3
      iw_find_window
      return 0
    fi
    iw_running "$IW_PID" || return 1
    sleep 0.1
  done
  return 1
}

# True when the window's banner area shows something other than black.
iw_painted() {
  local pixel
  pixel=$(import -window root -crop "1x1+$((IW_X + 300))+$((IW_Y + 100))" -depth 8 txt:- 2>/dev/null | tail -1)
  [[ -n "$pixel" && "$pixel" != *"#000000"* ]]
}

iw_point() {
  local page=$1 name=$2
  awk -v p="$page" -v n="$name" '$1 == p && $2 == n { print int(($3 + $5) / 2), int(($4 + $6) / 2); exit }' \
    "$IW_LAYOUT_FILE"
}

iw_click() {
  local point x y
  point=$(iw_point "$1" "$2")
  if [[ -z "$point" ]]; then
    echo "installer_walk: no control $2 on page $1" >&2
    return 1
  fi
  read -r x y <<<"$point"
  xdotool mousemove --sync $((IW_X + x)) $((IW_Y + y)) sleep 0.15 click 1
  sleep 0.4
}

iw_shot() {
  import -window root "$1"
}

# True while the process runs (an ended child stays a zombie until it is waited for).
iw_running() {
  [[ -r /proc/$1/stat ]] && [[ $(awk '{ print $3 }' "/proc/$1/stat" 2>/dev/null) != Z ]]
}

iw_wait_exit() {
  local seconds=$1 i
  for i in $(seq 1 $((seconds * 10))); do
    if ! iw_running "$IW_PID"; then
      IW_RC=0
      wait "$IW_PID" 2>/dev/null || IW_RC=$?
      return 0
    fi
    sleep 0.1
  done
  IW_RC=124
  return 1
}

iw_close() {
  # Alt+F4 as a user presses it. Sent to the window itself, so that it arrives without a window
  # manager to give focus; the keys are then released for certain (an xdotool that dies on a
  # window already gone would leave them held down for the next program). Tried again while the
  # window stays.
  local attempt i
  for attempt in 1 2 3; do
    xdotool windowfocus --sync "$IW_WIN" 2>/dev/null || true
    xdotool key --window "$IW_WIN" alt+F4 2>/dev/null || true
    xdotool keyup alt F4 2>/dev/null || true
    for i in $(seq 1 20); do
      iw_running "$IW_PID" || return 0
      sleep 0.1
    done
  done
}
