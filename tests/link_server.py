#!/usr/bin/env python3
"""A web server for testing link checks, on loopback addresses only.

Usage: link_server.py [--hosts N] [--latency SECONDS] [--cert FILE --key FILE]
Serves HTTP on 127.0.0.1 .. 127.0.0.N (one port for all) and, given a certificate, HTTPS
on 127.0.0.1. Prints "PORT HTTPS-PORT" when ready. Reads commands on standard input:
"stats" prints a line "count HOST METHOD PATH N" per request kind seen and "max HOST N" per
host (the most requests it had under way at once), then "end"; "reset" forgets them. Ends
at the end of its input.

What a path gets (each host and path counted on its own):
  /ok...       200          /missing...  404         /gone...  410
  /flaky...    500 once, then 200          /always500... 500
  /busy...     429 with Retry-After: 1 once, then 200
  /slow...     200 after 5 s                /wait...      200 after 0.3 s
  /moved...    301 to /ok                   /loop-a, /loop-b  302 to each other
  /no-head...  405 for HEAD, 200 for GET    /head-drops...  HEAD gets no answer, GET 200
  /chain/N     302 to /chain/N-1, /chain/0 200
  /agent...    200 when the user agent begins with "folioscribe/" and the request carries
               "X-Test: yes", else 403
  anything else: 404
"""
import argparse
import http.server
import socket
import ssl
import sys
import threading
import time
from collections import Counter, defaultdict

lock = threading.Lock()
counts = Counter()  # (host, method, path) -> requests
under_way = defaultdict(int)
most_under_way = defaultdict(int)
latency = 0.0


def answer(path, seen_before):
    """(status, extra headers) for a request."""
    if path.startswith("/ok") or path.startswith("/no-head") or path.startswith("/head-drops"):
        return 200, {}
    if path.startswith("/gone"):
        return 410, {}
    if path.startswith("/flaky"):
        return (200, {}) if seen_before else (500, {})
    if path.startswith("/always500"):
        return 500, {}
    if path.startswith("/busy"):
        return (200, {}) if seen_before else (429, {"Retry-After": "1"})
    if path.startswith("/slow"):
        time.sleep(5)
        return 200, {}
    if path.startswith("/wait"):
        time.sleep(0.3)
        return 200, {}
    if path.startswith("/moved"):
        return 301, {"Location": "/ok"}
    if path.startswith("/chain/"):
        steps = int(path[len("/chain/"):] or 0)
        return (302, {"Location": "/chain/%d" % (steps - 1)}) if steps > 0 else (200, {})
    if path == "/loop-a":
        return 302, {"Location": "/loop-b"}
    if path == "/loop-b":
        return 302, {"Location": "/loop-a"}
    return 404, {}


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, *args):
        pass

    def serve(self, method):
        host = self.server.server_address[0]
        with lock:
            key = (host, method, self.path)
            seen_before = sum(n for (h, m, p), n in counts.items() if h == host and p == self.path) > 0
            counts[key] += 1
            under_way[host] += 1
            most_under_way[host] = max(most_under_way[host], under_way[host])
        try:
            if latency:
                time.sleep(latency)
            if self.path.startswith("/no-head") and method == "HEAD":
                status, headers = 405, {"Allow": "GET"}
            elif self.path.startswith("/head-drops") and method == "HEAD":
                status, headers = None, {}
            elif self.path.startswith("/agent"):
                agent = self.headers.get("User-Agent", "")
                good = agent.startswith("folioscribe/") and self.headers.get("X-Test") == "yes"
                status, headers = (200 if good else 403), {}
            else:
                status, headers = answer(self.path, seen_before)
        finally:
            # Counted as done before the client can know it, so a count is never too high.
            with lock:
                under_way[host] -= 1
        if status is None:
            self.close_connection = True  # hangs up without a word
            return
        body = b"<html><body>page</body></html>\n"
        try:
            self.send_response(status)
            for name, value in headers.items():
                self.send_header(name, value)
            self.send_header("Content-Type", "text/html")
            self.send_header("Content-Length", str(len(body)))
            self.end_headers()
            if method == "GET":
                self.wfile.write(body)
        except (BrokenPipeError, ConnectionResetError):
            pass

    def do_GET(self):
        self.serve("GET")

    def do_HEAD(self):
        self.serve("HEAD")


class Server(http.server.ThreadingHTTPServer):
    daemon_threads = True
    request_queue_size = 128

    def handle_error(self, request, client_address):
        pass  # a client that hangs up early is no fault of the server


def start(host, port, context=None):
    server = Server((host, port), Handler)
    if context:
        server.socket = context.wrap_socket(server.socket, server_side=True)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server


def start_hosts(count):
    """Servers on 127.0.0.1 .. 127.0.0.count sharing one free port."""
    for _ in range(20):
        first = start("127.0.0.1", 0)
        port = first.server_address[1]
        servers = [first]
        try:
            for n in range(2, count + 1):
                servers.append(start("127.0.0.%d" % n, port))
            return port
        except OSError:
            for server in servers:
                server.shutdown()
                server.server_close()
    sys.exit("link_server: no free port for all hosts")


def print_stats():
    with lock:
        lines = ["count %s %s %s %d" % (h, m, p, n) for (h, m, p), n in sorted(counts.items())]
        lines += ["max %s %d" % (h, n) for h, n in sorted(most_under_way.items())]
    print("\n".join(lines + ["end"]), flush=True)


def main():
    global latency
    parser = argparse.ArgumentParser()
    parser.add_argument("--hosts", type=int, default=1)
    parser.add_argument("--latency", type=float, default=0.0)
    parser.add_argument("--cert")
    parser.add_argument("--key")
    options = parser.parse_args()
    latency = options.latency
    port = start_hosts(options.hosts)
    https_port = 0
    if options.cert:
        context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        context.load_cert_chain(options.cert, options.key)
        https_port = start("127.0.0.1", 0, context).server_address[1]
    print(port, https_port, flush=True)
    for line in sys.stdin:
        if line.strip() == "stats":
            print_stats()
        elif line.strip() == "reset":
            with lock:
                counts.clear()
                most_under_way.clear()


if __name__ == "__main__":
    main()
