#!/usr/bin/python3
"""The tests' package server: HTTPS on 127.0.0.1 with a test certificate, plus a plain-HTTP
listener on the next port that only exists as the target of the redirect fault.

The package path /dl/pdf/package.zip answers according to the current mode, which a client sets
with GET /control/mode?name=<mode>; /fault/<mode>/package.zip answers in that mode whatever the
current one is. Modes:
  ok            the package, with Content-Length
  404           not found
  nolength      the package without Content-Length, ended by closing the connection
  short         Content-Length of the whole package, half of it sent, then the connection closed
  tiny          status 200 with a body under 512 bytes
  redirect-http 302 to the same path on the plain-HTTP port
  gzip          the package gzip-encoded (Content-Encoding: gzip, Content-Length of the encoded body)
  slow          the package in small pieces over about two seconds
  hostile       an archive whose entry names try to leave the install folder
  empty         a valid archive without entries (padded past 512 bytes with a comment)
  big           the large benchmark package
  winhttp-503   503 for requests that carry the installer's WinHTTP user agent; any other client
                (urlmon's fallback) gets the package without Content-Length, ended by closing the
                connection, so that urlmon reports no progress of its own
  winhttp-503-empty
                as winhttp-503, but the other clients get status 200 with an empty body
GET /control/stats returns the count of requests the plain-HTTP listener received.
The server ends by itself after --lifetime seconds.
"""
import argparse
import gzip
import http.server
import json
import os
import socketserver
import ssl
import sys
import threading
import time
import urllib.parse

MODES = ("ok", "404", "nolength", "short", "tiny", "redirect-http", "gzip", "slow", "hostile", "empty", "big",
         "winhttp-503", "winhttp-503-empty")
# The product token of the installer's WinHTTP user agent. Wine's urlmon sends its own browser user
# agent (logged in server.log), so the token tells the two download paths apart.
WINHTTP_AGENT_TOKEN = "ZIRuvudurav/"
FILES = {"hostile": "hostile.zip", "empty": "empty.zip", "big": "big.zip"}


class State:
    def __init__(self, root, http_port):
        self.root = root
        self.http_port = http_port
        self.mode = "ok"
        self.plain_hits = 0
        self.lock = threading.Lock()

    def payload(self, mode):
        name = FILES.get(mode, "package.zip")
        with open(os.path.join(self.root, name), "rb") as f:
            return f.read()


def make_handler(state, secure):
    class Handler(http.server.BaseHTTPRequestHandler):
        protocol_version = "HTTP/1.1"
        server_version = "QuilloPackageServer/1.0"

        def log_message(self, fmt, *args):
            headers = getattr(self, "headers", None)
            agent = headers.get("User-Agent", "") if headers is not None else ""
            sys.stdout.write("%s %s %s [%s]\n" % ("https" if secure else "http", self.address_string(), fmt % args,
                                                   agent))
            sys.stdout.flush()

        def from_winhttp_attempt(self):
            return WINHTTP_AGENT_TOKEN in self.headers.get("User-Agent", "")

        def send_body(self, body, content_type="application/octet-stream", extra=()):
            self.send_response(200)
            self.send_header("Content-Type", content_type)
            self.send_header("Content-Length", str(len(body)))
            for key, value in extra:
                self.send_header(key, value)
            self.end_headers()
            self.wfile.write(body)

        def do_GET(self):
            url = urllib.parse.urlsplit(self.path)
            if not secure:
                with state.lock:
                    state.plain_hits += 1
                # Were a client to follow the redirect into clear text, it would get a package.
                return self.send_body(state.payload("ok"))
            if url.path == "/control/mode":
                name = urllib.parse.parse_qs(url.query).get("name", [""])[0]
                if name not in MODES:
                    return self.send_error(400, "unknown mode")
                with state.lock:
                    state.mode = name
                return self.send_body(b"mode=" + name.encode(), "text/plain")
            if url.path == "/control/stats":
                with state.lock:
                    body = json.dumps({"plain_hits": state.plain_hits, "mode": state.mode}).encode()
                return self.send_body(body, "application/json")
            if url.path == "/dl/pdf/package.zip":
                with state.lock:
                    mode = state.mode
                return self.serve(mode)
            parts = url.path.strip("/").split("/")
            if len(parts) == 3 and parts[0] == "fault" and parts[2] == "package.zip" and parts[1] in MODES:
                return self.serve(parts[1])
            self.send_error(404)

        def serve(self, mode):
            if mode == "404":
                return self.send_error(404)
            if mode == "tiny":
                return self.send_body(b"<html><body>maintenance</body></html>\n", "text/html")
            if mode in ("winhttp-503", "winhttp-503-empty"):
                if self.from_winhttp_attempt():
                    return self.send_error(503)
                if mode == "winhttp-503-empty":
                    return self.send_body(b"")
                mode = "nolength"
            if mode == "redirect-http":
                self.send_response(302)
                self.send_header("Location", "http://localhost:%d/dl/pdf/package.zip" % state.http_port)
                self.send_header("Content-Length", "0")
                self.end_headers()
                return
            body = state.payload(mode)
            if mode == "gzip":
                return self.send_body(gzip.compress(body, mtime=0), extra=(("Content-Encoding", "gzip"),))
            if mode == "nolength":
                self.send_response(200)
                self.send_header("Content-Type", "application/octet-stream")
                self.send_header("Connection", "close")
                self.end_headers()
                self.wfile.write(body)
                self.close_connection = True
                return
            if mode == "short":
                self.send_response(200)
                self.send_header("Content-Type", "application/octet-stream")
                self.send_header("Content-Length", str(len(body)))
                self.send_header("Connection", "close")
                self.end_headers()
                self.wfile.write(body[: len(body) // 2])
                self.wfile.flush()
                self.close_connection = True
                return
            if mode == "slow":
                self.send_response(200)
                self.send_header("Content-Type", "application/octet-stream")
                self.send_header("Content-Length", str(len(body)))
                self.end_headers()
                piece = 4096
                pieces = max(1, (len(body) + piece - 1) // piece)
                delay = min(0.05, 2.0 / pieces)
                for offset in range(0, len(body), piece):
                    self.wfile.write(body[offset:offset + piece])
                    self.wfile.flush()
                    time.sleep(delay)
                return
            if mode == "big":
                path = os.path.join(state.root, FILES["big"])
                self.send_response(200)
                self.send_header("Content-Type", "application/octet-stream")
                self.send_header("Content-Length", str(os.path.getsize(path)))
                self.end_headers()
                with open(path, "rb") as f:
                    while True:
                        chunk = f.read(1 << 20)
                        if not chunk:
                            break
                        self.wfile.write(chunk)
                return
            self.send_body(body)

    return Handler


class Server(socketserver.ThreadingMixIn, http.server.HTTPServer):
    daemon_threads = True
    allow_reuse_address = True


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--port", type=int, required=True)
    parser.add_argument("--http-port", type=int, required=True)
    parser.add_argument("--root", required=True, help="folder with package.zip (and hostile.zip, empty.zip, big.zip)")
    parser.add_argument("--cert", required=True)
    parser.add_argument("--key", required=True)
    parser.add_argument("--lifetime", type=float, default=1800)
    args = parser.parse_args()

    state = State(args.root, args.http_port)
    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.minimum_version = ssl.TLSVersion.TLSv1_2  # Wine's WinHTTP negotiates 1.2 at most
    context.load_cert_chain(args.cert, args.key)

    secure = Server(("127.0.0.1", args.port), make_handler(state, True))
    secure.socket = context.wrap_socket(secure.socket, server_side=True)
    plain = Server(("127.0.0.1", args.http_port), make_handler(state, False))
    for server in (secure, plain):
        threading.Thread(target=server.serve_forever, daemon=True).start()
    print("serving https://localhost:%d and http://localhost:%d" % (args.port, args.http_port), flush=True)
    time.sleep(args.lifetime)
    print("lifetime over", flush=True)
    os._exit(0)


if __name__ == "__main__":
    main()
