# Sourced by the scripts that show windows: a virtual X display (Xvfb) with a small window manager,
# as on a user's desktop. Without a window manager Wine waits for one at every hide or unmap of a
# window (two seconds each), which slows every test and benchmark that closes a window.
#   x_display_start <state-dir> [compositor]   sets DISPLAY; "compositor" adds xcompmgr, so that
#                                              screenshots show layered windows blended
#   x_display_stop                             ends what x_display_start started
X_DISPLAY_PIDS=()
X_DISPLAY_SCRIPTS=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

x_display_start() {
  local state=$1 with_compositor=${2:-} display_file n=
  mkdir -p "$state"
  display_file="$state/xvfb.display"
  : >"$display_file"
  # Xvfb picks a free display itself and writes its number to us: a number chosen by looking at
  # /tmp alone can belong to a server of another namespace, which only the socket bind reveals.
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$display_file" >"$state/xvfb.log" 2>&1 &
  X_DISPLAY_PIDS+=($!)
  local xvfb_pid=$! i
  for i in $(seq 1 100); do
    n=$(tr -dc '0-9' <"$display_file")
    [[ -n "$n" ]] && break
    kill -0 "$xvfb_pid" 2>/dev/null || break
    sleep 0.1
  done
  if [[ -z "$n" ]] || ! xdpyinfo -display ":$n" >/dev/null 2>&1; then
    echo "x_display: Xvfb did not start; its log:" >&2
    cat "$state/xvfb.log" >&2
    return 1
  fi
  export DISPLAY=":$n"
  # openbox without a session starts no other programs; its configuration binds no keys.
  openbox --sm-disable --config-file "$X_DISPLAY_SCRIPTS/openbox_rc.xml" >"$state/openbox.log" 2>&1 &
  X_DISPLAY_PIDS+=($!)
  for i in $(seq 1 50); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
    sleep 0.1
  done
  if [[ "$with_compositor" == compositor ]]; then
    xcompmgr >"$state/xcompmgr.log" 2>&1 &
    X_DISPLAY_PIDS+=($!)
  fi
}

x_display_stop() {
  local pid
  for pid in "${X_DISPLAY_PIDS[@]}"; do kill "$pid" 2>/dev/null || true; done
  X_DISPLAY_PIDS=()
}
