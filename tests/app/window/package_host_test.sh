#!/usr/bin/env bash
# The local package host (nginx with tools/nginx/package_host.conf) answers as the installers
# expect: the package at its path, whole, as application/zip with its length; TLS 1.2 and 1.3 only;
# nothing else served; no redirect to plain HTTP.
# Usage: package_host_test.sh <package-host-state-dir> <package.zip> <https-port>
set -uo pipefail
source "$(dirname "$0")/../../../tools/app/script_checks.sh"
state=$1 package=$2 port=$3
url="https://localhost:$port/dl/pdf/package.zip"
fetch() { curl -s --max-time 20 --cacert "$state/ca.pem" "$@"; }

"$(dirname "$0")/../../../tools/app/nginx_fixture.sh" rate "$state" 0
headers=$(fetch -D - -o "$state/fetched.zip" "$url" | tr -d '\r')
check "200 for the package" grep -qx 'HTTP/1.1 200 OK' <<<"$headers"
check "Content-Type application/zip" grep -qix 'Content-Type: application/zip' <<<"$headers"
check "Content-Length is the package's size" grep -qix "Content-Length: $(stat -c %s "$package")" <<<"$headers"
check "not chunked, not compressed" test -z "$(grep -iE '^(Transfer-Encoding|Content-Encoding):' <<<"$headers")"
check "the bytes are the package's" cmp -s "$state/fetched.zip" "$package"
for version in 1.2 1.3; do
  check "TLS $version accepted" test "$(fetch -o /dev/null -w '%{http_code}' --tlsv$version --tls-max $version -r 0-0 "$url")" = 206
done
check "TLS 1.1 refused" test "$(fetch -o /dev/null -w '%{http_code}' --tlsv1.1 --tls-max 1.1 "$url")" = 000
for path in /dl/pdf/ /dl/ / /dl/pdf/other.zip; do
  check "$path is not served" test "$(fetch -o /dev/null -w '%{http_code}' "https://localhost:$port$path")" = 404
done
code=$(curl -s --max-time 10 -o /dev/null -w '%{http_code} %{redirect_url}' "http://localhost:$port/dl/pdf/package.zip")
check "plain HTTP is refused, not redirected ($code)" test "${code%% *}" = 400 -a -z "$(cut -s -d' ' -f2 <<<"$code")"
checks_done package_host_test
