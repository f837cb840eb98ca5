#!/usr/bin/env bash
# Reference figure for the download benchmark: curl fetching the same 100 MB package from the
# same local server, three times. Writes the best rate to <out-file> and prints every run.
# Usage: curl_reference.sh <server-state-dir> <https-port> <out-file>
set -euo pipefail
state=$1 port=$2 out=$3
url="https://localhost:$port/fault/big/package.zip"
best=0
for run in 1 2 3; do
  # size_download and time_total of one transfer, body discarded.
  read -r bytes seconds < <(curl -s --cacert "$state/ca.pem" -o /dev/null -w '%{size_download} %{time_total}\n' "$url")
  rate=$(awk -v b="$bytes" -v s="$seconds" 'BEGIN { printf "%.1f", b / 1048576 / s }')
  echo "curl run $run: $bytes bytes in ${seconds}s = $rate MB/s"
  best=$(awk -v a="$best" -v b="$rate" 'BEGIN { print (b > a) ? b : a }')
done
echo "$best" >"$out"
echo "curl best: $best MB/s"
