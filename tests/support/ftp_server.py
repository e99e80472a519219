#!/usr/bin/python3
"""A local FTP server for the FTP client's tests (Debian's pyftpdlib).

Listens on 127.0.0.1 with a free port, prints the port on stdout when ready, and exits
when its stdin reaches end of file (so it never outlives the test that started it).
Fault options make it behave like the awkward servers the client has to survive.
"""
import argparse
import logging
import os
import socket
import sys
import threading
import time
import warnings

warnings.simplefilter('ignore', DeprecationWarning)
import asynchat  # noqa: E402  (pyftpdlib's own base; deprecated in Python 3.11)

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.filesystems import AbstractedFS
from pyftpdlib.handlers import DTPHandler, FTPHandler
from pyftpdlib.servers import FTPServer, ThreadedFTPServer


def parse_args():
    p = argparse.ArgumentParser()
    p.add_argument('--root', required=True, help='folder the account sees as /')
    p.add_argument('--user', required=True)
    p.add_argument('--password', required=True)
    p.add_argument('--readonly-user', help='a second account that may list but not write')
    p.add_argument('--readonly-password', default='')
    p.add_argument('--host', default='127.0.0.1', choices=['127.0.0.1', '::1'],
                   help='loopback only: tests never reach beyond this machine')
    p.add_argument('--no-mlst', action='store_true', help='no MLST/MLSD commands')
    p.add_argument('--no-mdtm', action='store_true', help='no MDTM command')
    p.add_argument('--no-epsv', action='store_true', help='no EPSV (clients must use PASV)')
    p.add_argument('--no-eprt', action='store_true', help='no EPRT (clients must use PORT)')
    p.add_argument('--no-utf8', action='store_true',
                   help='no UTF8 in FEAT; commands, replies and listings in code page 932')
    p.add_argument('--feat-needs-login', action='store_true', help='FEAT refused before login')
    p.add_argument('--delay-ms', type=int, default=0, help='delay every reply by this long')
    p.add_argument('--pasv-address', help='address named in PASV replies (masquerade)')
    p.add_argument('--keep-ascii-bytes', action='store_true',
                   help='store TYPE A uploads as they arrive on the wire (no line-end conversion)')
    p.add_argument('--command-log', help='append every command received to this file')
    p.add_argument('--stall-on', action='append', default=[],
                   help='never answer this command (BANNER: send no greeting)')
    p.add_argument('--drop-on', action='append', default=[],
                   help='close the control connection when this command arrives')
    p.add_argument('--huge-reply-on', action='append', default=[],
                   help='answer this command with a reply line of a megabyte')
    p.add_argument('--refuse-cwd', action='append', default=[],
                   help='refuse a change of directory to exactly this argument')
    p.add_argument('--max-connections', type=int, default=0,
                   help='greet connections beyond this many with 421')
    p.add_argument('--garbage-banner', action='store_true', help='greet with bytes that are no reply')
    p.add_argument('--stall-data', action='store_true', help='never read uploaded data')
    p.add_argument('--tls-cert', help='PEM file with certificate and key: FTPS, and both the '
                   'control and the data connections must be encrypted')
    p.add_argument('--implicit-tls', action='store_true', help='TLS from the first byte')
    return p.parse_args()


def make_filesystem(args):
    class Cp932FS(AbstractedFS):
        """Listings in code page 932, as a Japanese Windows server sends them."""

        def format_list(self, basedir, listing, ignore_err=True):
            for line in super().format_list(basedir, listing, ignore_err):
                yield line.decode('utf8').encode('cp932', 'replace')

        def format_mlsx(self, basedir, listing, perms, facts, ignore_err=True):
            for line in super().format_mlsx(basedir, listing, perms, facts, ignore_err):
                yield line.decode('utf8').encode('cp932', 'replace')

    return Cp932FS if args.no_utf8 else AbstractedFS


def tls_handlers():
    from pyftpdlib.handlers import TLS_DTPHandler, TLS_FTPHandler
    return TLS_FTPHandler, TLS_DTPHandler


def make_dtp_handler(args):
    base = tls_handlers()[1] if args.tls_cert else DTPHandler

    class TestDTPHandler(base):
        def __init__(self, sock, cmd_channel):
            if args.stall_data:
                # A small window so the client's sending side fills up quickly.
                sock.setsockopt(socket.SOL_SOCKET, socket.SO_RCVBUF, 4096)
            super().__init__(sock, cmd_channel)

        def enable_receiving(self, type, cmd):
            super().enable_receiving(type, cmd)
            if args.keep_ascii_bytes:
                self._data_wrapper = None

        def readable(self):
            if args.stall_data and self.receive:
                return False
            return super().readable()

    return TestDTPHandler


def make_handler(args):
    base = tls_handlers()[0] if args.tls_cert else FTPHandler
    cmds = dict(base.proto_cmds)
    removed = []
    if args.no_mlst:
        removed += ['MLST', 'MLSD']
    if args.no_mdtm:
        removed += ['MDTM']
    if args.no_epsv:
        removed += ['EPSV']
    if args.no_eprt:
        removed += ['EPRT']
    for name in removed:
        cmds.pop(name, None)
    if args.feat_needs_login:
        cmds['FEAT'] = dict(cmds['FEAT'], auth=True)
    stall = {c.upper() for c in args.stall_on}
    drop = {c.upper() for c in args.drop_on}
    huge = {c.upper() for c in args.huge_reply_on}
    refuse_cwd = set(args.refuse_cwd)
    encoding = 'cp932' if args.no_utf8 else 'utf8'

    class TestHandler(base):
        proto_cmds = cmds
        if args.tls_cert:
            certfile = args.tls_cert
            tls_control_required = True
            tls_data_required = True
        auth_failed_timeout = 0
        use_gmt_times = True
        abstracted_fs = make_filesystem(args)
        dtp_handler = make_dtp_handler(args)
        if args.pasv_address:
            masquerade_address = args.pasv_address

        def handle(self):
            if args.garbage_banner:
                self.push_bytes(b'\x00\xff\xfe garbage \x01\x02\r\nnot a reply\r\n')
                return
            if 'BANNER' in stall:
                return
            if args.implicit_tls:
                # The greeting waits in the buffer until the handshake is done.
                self.secure_connection(self.ssl_context)
            super().handle()

        def _on_dtp_connection(self):
            # pyftpdlib keeps a PORT connector after it connected and closes it again at the
            # next PORT, taking whatever now has its descriptor number out of the loop: with
            # several sessions at once, another session's connector still waiting to connect.
            self._dtp_connector = None
            super()._on_dtp_connection()

        def push_bytes(self, data):
            asynchat.async_chat.push(self, data)

        def push(self, s):
            self.push_bytes(s.encode(encoding, 'replace'))

        def respond(self, resp, logfun=logging.debug):
            if args.delay_ms:
                time.sleep(args.delay_ms / 1000.0)
            super().respond(resp, logfun)

        def decode(self, data):
            return data.decode(encoding, self.unicode_errors)

        def pre_process_command(self, line, cmd, arg):
            if args.command_log:
                logged = 'PASS ******' if cmd == 'PASS' else line
                with open(args.command_log, 'a', encoding='utf8') as f:
                    f.write(logged + '\n')
            if cmd in stall:
                return
            if cmd in drop:
                self.close()
                return
            if cmd in huge:
                self.push('550 ' + 'x' * (1024 * 1024) + '\r\n')
                return
            if cmd == 'CWD' and arg in refuse_cwd:
                self.respond('550 Not allowed here.')
                return
            super().pre_process_command(line, cmd, arg)

        def ftp_FEAT(self, line):
            if not args.no_utf8:
                return super().ftp_FEAT(line)
            # The same list without UTF8: such a server speaks its own code page.
            captured = []
            real_push = self.push
            self.push = captured.append
            try:
                super().ftp_FEAT(line)
            finally:
                self.push = real_push
            for chunk in captured:
                real_push(''.join(l + '\r\n' for l in chunk.split('\r\n')
                                  if l and l.strip() != 'UTF8'))

    return TestHandler


def watch_stdin():
    # The test that started us is gone once our stdin closes.
    try:
        sys.stdin.buffer.read()
    finally:
        os._exit(0)


def main():
    args = parse_args()
    logging.basicConfig(level=logging.CRITICAL)
    authorizer = DummyAuthorizer()
    authorizer.add_user(args.user, args.password, args.root, perm='elradfmwMT')
    if args.readonly_user:
        authorizer.add_user(args.readonly_user, args.readonly_password, args.root, perm='elr')
    handler = make_handler(args)
    handler.authorizer = authorizer
    handler.timeout = 600
    # A delay stands for the network's latency, which each connection meets by itself: with
    # one thread, one connection's wait would hold up every other.
    server_class = ThreadedFTPServer if args.delay_ms else FTPServer
    server = server_class((args.host, 0), handler)
    if args.max_connections:
        server.max_cons = args.max_connections
    port = server.socket.getsockname()[1]
    threading.Thread(target=watch_stdin, daemon=True).start()
    print(port, flush=True)
    server.serve_forever(handle_exit=True)


if __name__ == '__main__':
    main()
