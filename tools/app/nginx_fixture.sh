#!/usr/bin/env bash
# Starts or stops nginx serving the demo package with the repository's own package-host
# configuration (tools/nginx/package_host.conf), its site lines set for 127.0.0.1: the test
# certificate authority (trusted in this build's Wine prefix only), the package folder, a port.
# nginx runs as an unprivileged user (nobody when started by root), with everything it writes in
# <state-dir>. "rate" changes the delivery rate of the package and reloads nginx.
# Usage: nginx_fixture.sh start <wine-root> <state-dir> <package-dir> <https-port> [bytes-per-second]
#        nginx_fixture.sh rate  <state-dir> <bytes-per-second>      (0: no limit)
#        nginx_fixture.sh stop  <state-dir>
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/../.." && pwd)
action=$1

as_server_user() {
  if [[ $(id -u) -eq 0 ]]; then
    setpriv --reuid=nobody --regid=nogroup --clear-groups "$@"
  else
    "$@"
  fi
}

write_site() {  # write_site <state> <package-dir> <port> <rate>
  local state=$1 packages=$2 port=$3 rate=$4
  # The package lies at dl/pdf/package.zip under the site's root.
  mkdir -p "$state/root/dl/pdf"
  ln -sfn "$packages/package.zip" "$state/root/dl/pdf/package.zip"
  awk -v port="$port" -v state="$state" -v rate="$rate" '
    /^ *listen /              { sub(/listen [^;]*;/, "listen 127.0.0.1:" port " ssl;") }
    /^ *server_name /         { sub(/server_name [^;]*;/, "server_name localhost;") }
    /^ *ssl_certificate /     { sub(/ssl_certificate [^;]*;/, "ssl_certificate " state "/server.pem;") }
    /^ *ssl_certificate_key / { sub(/ssl_certificate_key [^;]*;/, "ssl_certificate_key " state "/server.key;") }
    /^ *root /                { sub(/root [^;]*;/, "root " state "/root;") }
    /^ *limit_rate /          { sub(/limit_rate [^;]*;/, "limit_rate " rate ";") }
    { print }' "$repo/tools/nginx/package_host.conf" >"$state/site.conf"
}

case "$action" in
  start)
    wine_root=$2 state=$(realpath -m "$3") packages=$(realpath "$4") port=$5 rate=${6:-0}
    "$0" stop "$state" 2>/dev/null || true
    mkdir -p "$state/temp"
    /usr/bin/python3 "$here/make_test_ca.py" "$state" >/dev/null
    source "$repo/scripts/wine_env.sh" "$wine_root"
    "$WINE_LOADER" reg import "$(win_path "$state/trust_ca.reg")" </dev/null >"$state/reg_import.log" 2>&1
    write_site "$state" "$packages" "$port" "$rate"
    cat >"$state/nginx.conf" <<CONF
worker_processes 1;
pid $state/nginx.pid;
error_log $state/error.log warn;
events { worker_connections 64; }
http {
    access_log $state/access.log;
    client_body_temp_path $state/temp/body;
    proxy_temp_path $state/temp/proxy;
    fastcgi_temp_path $state/temp/fastcgi;
    uwsgi_temp_path $state/temp/uwsgi;
    scgi_temp_path $state/temp/scgi;
    include $state/site.conf;
}
CONF
    if [[ $(id -u) -eq 0 ]]; then chown -R nobody:nogroup "$state"; fi
    as_server_user nginx -e "$state/error.log" -c "$state/nginx.conf" >"$state/start.log" 2>&1 ||
      { cat "$state/start.log" "$state/error.log" >&2 2>/dev/null; exit 1; }
    for _ in $(seq 1 50); do
      if curl -sf -o /dev/null --cacert "$state/ca.pem" "https://localhost:$port/dl/pdf/package.zip" -r 0-0; then
        echo "nginx serving the package on https://localhost:$port"
        exit 0
      fi
      sleep 0.1
    done
    echo "nginx did not answer; its log:" >&2
    cat "$state/error.log" >&2
    exit 1
    ;;
  rate)
    state=$(realpath -m "$2") rate=$3
    sed -i "s/limit_rate [^;]*;/limit_rate $rate;/" "$state/site.conf"
    as_server_user nginx -e "$state/error.log" -c "$state/nginx.conf" -s reload
    # The reload is done once the old worker has handed over (new connections see the new rate).
    sleep 0.3
    ;;
  stop)
    state=$(realpath -m "$2")
    if [[ -f "$state/nginx.pid" ]]; then
      pid=$(cat "$state/nginx.pid")
      if [[ -r /proc/$pid/cmdline ]] && tr '\0' ' ' <"/proc/$pid/cmdline" | grep -q "nginx"; then
        kill -QUIT "$pid" 2>/dev/null || true
        for _ in $(seq 1 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
      fi
      rm -f "$state/nginx.pid"
    fi
    ;;
  *)
    echo "usage: $0 start|rate|stop ..." >&2
    exit 2
    ;;
esac
