#!/usr/bin/env python3
"""FTP server for the transfer tests: 127.0.0.1 on a free port, printed as the first line of stdout."""
import argparse
import os
import sys

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler, ThrottledDTPHandler
from pyftpdlib.servers import FTPServer


def make_certificate(folder):
    from OpenSSL import crypto
    key = crypto.PKey()
    key.generate_key(crypto.TYPE_RSA, 2048)
    cert = crypto.X509()
    cert.set_version(2)
    cert.get_subject().CN = "127.0.0.1"
    cert.set_serial_number(1)
    cert.gmtime_adj_notBefore(-3600)
    cert.gmtime_adj_notAfter(3600 * 24)
    cert.set_issuer(cert.get_subject())
    cert.set_pubkey(key)
    cert.add_extensions([
        crypto.X509Extension(b"subjectAltName", False, b"IP:127.0.0.1, DNS:localhost"),
        crypto.X509Extension(b"basicConstraints", True, b"CA:TRUE"),
    ])
    cert.sign(key, "sha256")
    pem = crypto.dump_certificate(crypto.FILETYPE_PEM, cert)
    with open(os.path.join(folder, "server.pem"), "wb") as f:
        f.write(pem + crypto.dump_privatekey(crypto.FILETYPE_PEM, key))
    with open(os.path.join(folder, "ca.pem"), "wb") as f:
        f.write(pem)
    return os.path.join(folder, "server.pem")


def main():
    p = argparse.ArgumentParser()
    p.add_argument("--root", required=True)
    p.add_argument("--user", default="haendler")
    p.add_argument("--password", default="geheim")
    p.add_argument("--tls", help="folder for server.pem and ca.pem; offers AUTH TLS")
    p.add_argument("--throttle", type=int, default=0, help="bytes per second the server reads (plain FTP only)")
    p.add_argument("--log", help="file that receives every command name")
    p.add_argument("--stall-after", type=int, default=-1, help="stop reading a stored file after these bytes")
    p.add_argument("--short-size", action="store_true", help="SIZE reports one byte less than the file holds")
    p.add_argument("--hang-on", help="a command (STOR ...) at which the server stops answering for good")
    a = p.parse_args()

    base = FTPHandler
    if a.tls:
        from pyftpdlib.handlers import TLS_FTPHandler
        base = TLS_FTPHandler
        base.certfile = make_certificate(a.tls)
        base.tls_control_required = False
        base.tls_data_required = False

    class Handler(base):
        def pre_process_command(self, line, cmd, arg):
            if a.log:
                with open(a.log, "a") as f:
                    f.write(cmd + "\n")
            if a.hang_on and cmd == a.hang_on:
                import time
                time.sleep(600)
            return super().pre_process_command(line, cmd, arg)

        def ftp_SIZE(self, path):
            if not a.short_size:
                return super().ftp_SIZE(path)
            self.respond("213 %d" % (os.path.getsize(self.fs.realpath(path)) - 1))

    authorizer = DummyAuthorizer()
    authorizer.add_user(a.user, a.password, a.root, perm="elradfmw")
    Handler.authorizer = authorizer
    Handler.passive_ports = None
    dtp = ThrottledDTPHandler if a.throttle else None
    if a.tls:
        from pyftpdlib.handlers import TLS_DTPHandler

        class SecureData(TLS_DTPHandler):
            # libcurl starts the data connection's handshake right after EPSV, before STOR; pyftpdlib 1.5.7
            # takes any early read on a data connection that awaits no transfer for a hang-up and drops it.
            def readable(self):
                return self._ssl_accepting or super().readable()

            def handle_ssl_established(self):
                if a.log:
                    with open(a.log, "a") as f:
                        f.write("DATA-TLS\n")

        dtp = SecureData
    if a.stall_after >= 0:
        from pyftpdlib.handlers import DTPHandler

        class Stalling(DTPHandler):
            # A server that stops reading: the whole process freezes, as a hung server does.
            def handle_read(self):
                if self.tot_bytes_received >= a.stall_after:
                    import time
                    time.sleep(600)
                super().handle_read()

            handle_read_event = handle_read

        dtp = Stalling
    if a.throttle:
        dtp.read_limit = a.throttle
    if dtp:
        Handler.dtp_handler = dtp
    server = FTPServer(("127.0.0.1", 0), Handler)
    sys.stdout.write("%d\n" % server.socket.getsockname()[1])
    sys.stdout.flush()
    server.serve_forever(handle_exit=True)


if __name__ == "__main__":
    import logging
    logging.basicConfig(level=logging.CRITICAL)
    main()
