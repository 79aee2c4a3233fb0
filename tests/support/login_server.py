#!/usr/bin/env python3
"""Web log-in and stock archive server for the download tests: 127.0.0.1, free port printed first."""
import argparse
import http.server
import os
import os
import random
import ssl
import sys
import time
import urllib.parse

SESSIONS = set()
ARGS = None

FORM_PAGE = """<!DOCTYPE html><html><head><title>Anmeldung</title></head><body>
<h1>Anmeldung</h1>
{first}
<form action="/wrong" method="post"><input name="username"><input name="password" type="password">
<input type="hidden" name="lt" value="falsch"></form>
</body></html>"""

PLAIN_FORM = """<form id="fm1" action="../cas/dologin?service=haendler" method="post">
<input type="hidden" name="lt" value="LT-1 a+b&amp;c">
<input type="hidden" name="execution" value="e1s1">
<input name="username" value=""><input name="password" type="password">
<input type="checkbox" name="remember" value="yes">
<input type="checkbox" name="warn" checked>
<select name="lang"><option value="en">en</option><option value="de" selected>de</option></select>
<input type="submit" name="submit" value="Anmelden"></form>"""

# The form opened between <table> and <tr>: the parser moves it out, its inputs still belong to it.
TABLE_FORM = """<table><form action="/cas/dologin?service=haendler" method="post">
<tr><td><input type="hidden" name="lt" value="LT-1 a+b&amp;c"><input type="hidden" name="execution" value="e1s1">
<input type="checkbox" name="warn" checked><input name="lang" type="hidden" value="de"></td></tr>
<tr><td><input name="username"></td><td><input name="password" type="password"></td></tr>
</form></table>"""

LOGGED_IN = "<html><body><h1>Ihr Fahrzeugbestand</h1><p>Willkommen</p></body></html>"


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.0"

    def log_message(self, *args):
        pass

    def record(self, what):
        if ARGS.log:
            with open(ARGS.log, "a") as f:
                f.write(what + "\n")

    def session(self):
        for part in self.headers.get("Cookie", "").split(";"):
            name, _, value = part.strip().partition("=")
            if name == "SESSION" and value in SESSIONS:
                return value
        return None

    def send_body(self, body, status=200, headers=()):
        data = body.encode("utf-8") if isinstance(body, str) else body
        self.send_response(status)
        for k, v in headers:
            self.send_header(k, v)
        self.send_header("Content-Type", "text/html; charset=utf-8")
        self.send_header("Content-Length", str(len(data)))
        self.end_headers()
        self.wfile.write(data)

    def login_page(self):
        first = TABLE_FORM if ARGS.layout == "table" else PLAIN_FORM
        if ARGS.action:
            first = first.replace("../cas/dologin?service=haendler", ARGS.action)
        return FORM_PAGE.format(first=first)

    def do_GET(self):
        url = urllib.parse.urlsplit(self.path)
        self.record("GET " + self.path + (" session" if self.session() else "") +
                    " ua=" + self.headers.get("User-Agent", ""))
        if url.path == "/cas/login":
            if ARGS.login_redirect:
                self.send_response(302)
                self.send_header("Location", ARGS.login_redirect)
                self.send_header("Content-Length", "0")
                self.end_headers()
                return
            if ARGS.hang_login:
                time.sleep(30)
                return
            return self.send_body(LOGGED_IN if self.session() else self.login_page())
        if url.path == "/cas/logout":
            SESSIONS.discard(self.session())
            return self.send_body("<html><body>Abgemeldet</body></html>",
                                  headers=[("Set-Cookie", "SESSION=; Path=/; Max-Age=0")])
        if url.path == "/dealer-admin/home":
            return self.send_body(LOGGED_IN if self.session() else self.login_page())
        if url.path == "/dealer-admin/import-export/Karvento_download.zip" and url.query == "type=csv":
            if not self.session():
                return self.send_body(self.login_page())
            return self.send_archive()
        self.send_body("nicht gefunden", 404)

    def send_archive(self):
        if ARGS.archive_redirect:
            self.send_response(302)
            self.send_header("Location", ARGS.archive_redirect)
            self.send_header("Content-Length", "0")
            self.end_headers()
            return
        if ARGS.archive:
            with open(ARGS.archive, "rb") as f:
                data = f.read()
        else:
            data = random.Random(5).randbytes(ARGS.size)
        self.send_response(200)
        self.send_header("Content-Type", "application/zip")
        self.send_header("Content-Length", str(len(data)))
        self.end_headers()
        limit = ARGS.drop_after if ARGS.drop_after >= 0 else len(data)
        sent = 0
        while sent < limit:
            chunk = data[sent:min(limit, sent + 16384)]
            self.wfile.write(chunk)
            self.wfile.flush()
            sent += len(chunk)
            if ARGS.slow:
                time.sleep(ARGS.slow)
        if ARGS.drop_after >= 0:
            self.connection.shutdown(2)

    def do_POST(self):
        url = urllib.parse.urlsplit(self.path)
        length = int(self.headers.get("Content-Length", "0"))
        body = self.rfile.read(length).decode("utf-8")
        fields = urllib.parse.parse_qs(body, keep_blank_values=True)
        self.record("POST " + self.path + " " + body)
        expected = {"lt": ["LT-1 a+b&c"], "execution": ["e1s1"], "warn": ["on"], "lang": ["de"],
                    "username": [ARGS.user], "password": [ARGS.password]}
        if url.path == "/cas/dologin" and url.query == "service=haendler" and fields == expected:
            token = "%016x" % random.getrandbits(64)
            SESSIONS.add(token)
            # The session cookie comes with the redirect, as the marketplace sends it.
            self.send_response(302)
            self.send_header("Location", "/dealer-admin/home")
            self.send_header("Set-Cookie", "SESSION=%s; Path=/; HttpOnly" % token)
            self.send_header("Content-Length", "0")
            self.end_headers()
            return
        self.send_body(self.login_page())


def main():
    global ARGS
    p = argparse.ArgumentParser()
    p.add_argument("--user", default="haendler")
    p.add_argument("--password", default="geheim")
    p.add_argument("--layout", choices=["plain", "table"], default="plain")
    p.add_argument("--archive", help="file sent as the stock archive")
    p.add_argument("--size", type=int, default=0, help="random bytes sent as the stock archive")
    p.add_argument("--drop-after", type=int, default=-1, help="close the connection after these bytes")
    p.add_argument("--slow", type=float, default=0, help="seconds between pieces of the archive")
    p.add_argument("--hang-login", action="store_true")
    p.add_argument("--log")
    p.add_argument("--tls", help="folder for server.pem and ca.pem; answers HTTPS")
    p.add_argument("--login-redirect", help="the log-in page answers with a redirect to this address")
    p.add_argument("--action", help="the log-in form's action")
    p.add_argument("--archive-redirect", help="the stock archive answers with a redirect to this address")
    ARGS = p.parse_args()
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    server.daemon_threads = True
    if ARGS.tls:
        sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
        from ftp_server import make_certificate
        context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        context.load_cert_chain(make_certificate(ARGS.tls))
        server.socket = context.wrap_socket(server.socket, server_side=True)
    sys.stdout.write("%d\n" % server.server_address[1])
    sys.stdout.flush()
    server.serve_forever()


if __name__ == "__main__":
    main()
