#!/usr/bin/env python3
"""Serves a folder over HTTP on 127.0.0.1 for the tests; prints the port it bound first.

--no-length   answers .zip files without a Content-Length header
--stall N     stops after N bytes of a .zip file and keeps the connection open
--endless F   answers the file named F with its content followed by zeros without end
"""
import argparse
import http.server
import os
import socketserver
import sys
import time
import urllib.parse


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("root")
    parser.add_argument("--no-length", action="store_true")
    parser.add_argument("--stall", type=int, default=-1)
    parser.add_argument("--endless", default="")
    args = parser.parse_args()

    class Handler(http.server.BaseHTTPRequestHandler):
        protocol_version = "HTTP/1.0"

        def log_message(self, *a):
            pass

        def do_GET(self):
            path = urllib.parse.urlsplit(self.path).path
            if args.endless and path.endswith("/" + args.endless):
                self.send_response(200)
                self.end_headers()
                self.wfile.write(b"1\r\n")
                try:
                    while True:
                        self.wfile.write(b"0" * 65536)
                        # At most 32 MB/s, as from a fast line. Unthrottled over loopback, the data outran the
                        # HTTP thread of the sanitizer build (its allocator is slow for large buffers): the thread
                        # never got back to its event loop to close the aborted connection and outlived the test.
                        time.sleep(0.002)
                except OSError:
                    return
            local = os.path.normpath(os.path.join(args.root, path.lstrip("/")))
            if not local.startswith(os.path.abspath(args.root)) or not os.path.isfile(local):
                body = b"<html><body>404 Not Found</body></html>"
                self.send_response(404)
                self.send_header("Content-Length", str(len(body)))
                self.end_headers()
                self.wfile.write(body)
                return
            with open(local, "rb") as f:
                data = f.read()
            is_zip = local.endswith(".zip")
            self.send_response(200)
            self.send_header("Content-Type", "application/octet-stream")
            if not (is_zip and args.no_length):
                self.send_header("Content-Length", str(len(data)))
            self.end_headers()
            if is_zip and args.stall >= 0:
                self.wfile.write(data[: args.stall])
                self.wfile.flush()
                time.sleep(30)
                return
            self.wfile.write(data)

    class Server(socketserver.ThreadingMixIn, http.server.HTTPServer):
        daemon_threads = True

    args.root = os.path.abspath(args.root)
    server = Server(("127.0.0.1", 0), Handler)
    print(server.server_address[1], flush=True)
    try:
        server.serve_forever()
    except KeyboardInterrupt:
        pass


if __name__ == "__main__":
    sys.exit(main())
