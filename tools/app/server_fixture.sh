#!/usr/bin/env bash
# Starts or stops the tests' local package server (a CTest fixture). Start makes the test
# certificate authority when it is missing, trusts it in this build's Wine prefix only, starts
# the server in the background (its output in <state>/server.log) and waits until it answers.
# Usage: server_fixture.sh start <wine-root> <state-dir> <package-dir> <https-port>
#        server_fixture.sh stop  <wine-root> <state-dir>
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
action=$1 wine_root=$2 state=$3
mkdir -p "$state"
pid_file="$state/server.pid"

stop_server() {
  if [[ -f "$pid_file" ]]; then
    pid=$(cat "$pid_file")
    # Only the process this fixture started, and only while it is still our server.
    if [[ -r /proc/$pid/cmdline ]] && tr '\0' ' ' <"/proc/$pid/cmdline" | grep -q package_server.py; then
      kill "$pid" 2>/dev/null || true
    fi
    rm -f "$pid_file"
  fi
}

case "$action" in
  start)
    packages=$4 port=$5
    stop_server
    /usr/bin/python3 "$here/make_test_ca.py" "$state" >/dev/null
    source "$here/../../scripts/wine_env.sh" "$wine_root"
    reg_file=$(win_path "$state/trust_ca.reg")
    "$WINE_LOADER" reg import "$reg_file" </dev/null >"$state/reg_import.log" 2>&1
    setsid /usr/bin/python3 "$here/package_server.py" --port "$port" --http-port $((port + 1)) \
      --root "$packages" --cert "$state/server.pem" --key "$state/server.key" --lifetime 1800 \
      </dev/null >"$state/server.log" 2>&1 &
    echo $! >"$pid_file"
    for _ in $(seq 1 100); do
      if curl -sf --cacert "$state/ca.pem" "https://localhost:$port/control/stats" >/dev/null 2>&1; then
        echo "package server on https://localhost:$port"
        exit 0
      fi
      sleep 0.1
    done
    echo "package server did not start; log:" >&2
    cat "$state/server.log" >&2
    stop_server
    exit 1
    ;;
  stop)
    stop_server
    ;;
  *)
    echo "usage: $0 start|stop ..." >&2
    exit 2
    ;;
esac
