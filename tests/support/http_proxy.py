#!/usr/bin/env python3
"""HTTP proxy for the transfer tests: 127.0.0.1 on a free port, printed as the first line of stdout.

--refuse    answers every request, CONNECT included, with "502 Bad Gateway", as a proxy without a way out does
otherwise   tunnels CONNECT to 127.0.0.1 and answers anything else with 502
--log FILE  receives the first line of every request
"""
import argparse
import select
import socket
import socketserver
import sys

ARGS = None


class Handler(socketserver.BaseRequestHandler):
    def handle(self):
        head = b""
        while b"\r\n\r\n" not in head and len(head) < 65536:
            chunk = self.request.recv(4096)
            if not chunk:
                return
            head += chunk
        first = head.split(b"\r\n", 1)[0].decode("latin-1")
        if ARGS.log:
            with open(ARGS.log, "a") as f:
                f.write(first + "\n")
        method, _, rest = first.partition(" ")
        target = rest.split(" ")[0]
        host, _, port = target.rpartition(":")
        if ARGS.refuse or method != "CONNECT" or host != "127.0.0.1":
            self.request.sendall(b"HTTP/1.1 502 Bad Gateway\r\nContent-Length: 0\r\nConnection: close\r\n\r\n")
            return
        try:
            upstream = socket.create_connection((host, int(port)), timeout=5)
        except OSError:
            self.request.sendall(b"HTTP/1.1 502 Bad Gateway\r\nContent-Length: 0\r\n\r\n")
            return
        self.request.sendall(b"HTTP/1.1 200 Connection established\r\n\r\n")
        rest_of_head = head.split(b"\r\n\r\n", 1)[1]
        if rest_of_head:
            upstream.sendall(rest_of_head)
        pair = [self.request, upstream]
        while True:
            ready, _, _ = select.select(pair, [], [], 60)
            if not ready:
                break
            for s in ready:
                data = s.recv(65536)
                if not data:
                    upstream.close()
                    return
                (upstream if s is self.request else self.request).sendall(data)


class Server(socketserver.ThreadingTCPServer):
    daemon_threads = True
    allow_reuse_address = True


def main():
    global ARGS
    p = argparse.ArgumentParser()
    p.add_argument("--refuse", action="store_true")
    p.add_argument("--log")
    ARGS = p.parse_args()
    server = Server(("127.0.0.1", 0), Handler)
    sys.stdout.write("%d\n" % server.server_address[1])
    sys.stdout.flush()
    server.serve_forever()


if __name__ == "__main__":
    main()
