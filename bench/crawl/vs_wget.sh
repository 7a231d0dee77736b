#!/usr/bin/env bash
# quillmark-cli gather of a 500-page site (an index linking to 499 pages) served by nginx on
# 127.0.0.1, beside `wget -r -l 1` and one `curl --http1.0` process fetching the same 500 URLs,
# as whole processes in interleaved rounds, medians (goal for quillmark-cli: at most 0.6 ms a
# page; `whole` is the same run with --whole-page, the page scanner's reading). The pages are
# the corpus's real pages, cycled, when ../shared/corpus is there, else made-up ones. Skips when nginx is not installed; wget or curl when they are not. Usage:
#   bench/crawl/vs_wget.sh [build/dev/src/cli/quillmark-cli] [rounds] [corpus pages dir]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
cli=${1:-$root/build/dev/src/cli/quillmark-cli}
rounds=${2:-7}
corpus=${3:-$root/../shared/corpus/pages}
nginx=$(command -v nginx || ls /usr/sbin/nginx 2>/dev/null || true)
if [ -z "$nginx" ]; then echo "nginx is not installed: skipped"; exit 0; fi
work=$(mktemp -d)
trap 'kill "$(cat "$work/nginx.pid" 2>/dev/null)" 2>/dev/null || true; rm -rf "$work"' EXIT
mkdir -p "$work/www" "$work/data"
chmod 755 "$work"  # nginx's workers run as another user when started by root

python3 - "$work/www" "$corpus" <<'PY'
import os, sys
www, corpus = sys.argv[1], sys.argv[2]
real = sorted(os.path.join(corpus, n) for n in os.listdir(corpus)) if os.path.isdir(corpus) else []
sentences = ["The quick brown fox jumps over the lazy dog. ",
             "Markets rose again on Tuesday, traders said. ",
             "It's the third week of rain in the valley! "]
index = "<html><body><p>Today's news.</p>"
for i in range(1, 500):
    name = "page%d.html" % i
    index += '<a href="%s">Story</a><br>' % name
    if real:
        with open(real[i % len(real)], "rb") as source:
            page = source.read()
    else:
        size = 5 * 1024 + i * 7919 % (45 * 1024 + 1)
        text = "<html><body>"
        n = 0
        while len(text) < size:
            text += "<p>" + sentences[(i + n) % 3] + "</p>\n"
            n += 1
        page = (text + "</body></html>").encode()
    with open(os.path.join(www, name), "wb") as out:
        out.write(page)
with open(os.path.join(www, "index.html"), "w") as out:
    out.write(index + "</body></html>")
PY

port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
cat > "$work/nginx.conf" <<CONF
daemon on;
worker_processes 1;
error_log $work/error.log;
pid $work/nginx.pid;
events { worker_connections 1024; }
http {
  access_log off;
  default_type text/html;
  client_body_temp_path $work/client; proxy_temp_path $work/proxy;
  fastcgi_temp_path $work/fastcgi; uwsgi_temp_path $work/uwsgi; scgi_temp_path $work/scgi;
  server { listen 127.0.0.1:$port; root $work/www; }
}
CONF
"$nginx" -p "$work" -e "$work/error.log" -c "$work/nginx.conf"
for _ in $(seq 200); do
  curl -s -o /dev/null "http://127.0.0.1:$port/index.html" 2>/dev/null && break
  python3 -c 'import time; time.sleep(0.01)'
done

url="http://127.0.0.1:$port/index.html"
echo "$url" > "$work/sites.txt"
{
  echo "url = \"$url\""; echo 'output = "/dev/null"'
  for i in $(seq 1 499); do
    echo "url = \"http://127.0.0.1:$port/page$i.html\""; echo 'output = "/dev/null"'
  done
} > "$work/curl.conf"

run_cli() {
  "$cli" --data-dir "$work/data" gather --sites "$work/sites.txt" --follow-links --depth 1 \
    2>"$work/cli.log"
}
# The same run reading every page whole, as the page scanner does: the article reading's cost
# is the difference.
run_whole() {
  "$cli" --data-dir "$work/data" gather --sites "$work/sites.txt" --follow-links --depth 1 \
    --whole-page 2>/dev/null
}
run_wget() { rm -rf "$work/wget"; wget -q -r -l 1 -P "$work/wget" "$url"; }
run_curl() { curl -s --http1.0 -K "$work/curl.conf"; }
peers=(run_cli run_whole)
command -v wget >/dev/null && peers+=(run_wget)
command -v curl >/dev/null && peers+=(run_curl)

source "$root/bench/support/timing.sh"

declare -A times
for _ in $(seq "$rounds"); do
  for peer in "${peers[@]}"; do times[$peer]+="$(time_ms "$peer") "; done
done
echo "500 pages ($( [ -d "$corpus" ] && echo "corpus pages" || echo "made-up pages")," \
  "$(cat "$work"/www/*.html | wc -c) bytes) from nginx; median of $rounds interleaved rounds" \
  "(the machine may be shared)"
for peer in "${peers[@]}"; do
  ms=$(printf '%s\n' ${times[$peer]} | median)
  awk -v name="${peer#run_}" -v ms="$ms" 'BEGIN { printf "%-5s %6d ms, %.2f ms a page\n", name, ms, ms / 500 }'
done
echo "(goal: quillmark-cli at most 0.6 ms a page; it fetched" \
  "$(grep -c 'からのドキュメント取得成功' "$work/cli.log") pages with success)"
