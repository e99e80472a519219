#!/usr/bin/python3
"""A small FTP server that misbehaves exactly where a test tells it to.

pyftpdlib (ftp_server.py) is the well-behaved server; this one exists for replies no real
server library will send: malformed passive replies, garbage, a full disk after the data,
a hang-up in the middle of a transfer. It speaks just enough FTP for an upload run:
passive mode only, every folder exists, no file is ever found (listings are empty), uploads
land in --root, where they can be renamed and deleted.

Listens on 127.0.0.1 only, prints its port, and exits when its stdin reaches end of file.
Every command line received is appended to --log exactly as it arrived, with bytes below
0x20, DEL and bytes above 0x7E written as \\xNN (and the backslash as \\\\).

Rules, --rule CMD[#N]=ACTION (N: only the N-th such command since the server started;
CMD BANNER is the greeting):
  drop               hang up at once
  stall              never answer again on this connection
  reply:TEXT         answer with TEXT (backslash escapes allowed) instead of the normal reply
  huge:CODE          answer with CODE and a line of a megabyte
  final:TEXT         STOR only: take the data, then answer TEXT instead of 226
  drop-after-data    STOR only: take the data, then hang up without a final reply
  stall-data         STOR only: say 150, then never read the data
  slow-data          STOR only: store the data as it comes, 64 KB every 50 ms; a reset
                     of the data connection leaves the partial file and a 426
  touch:PATH         STOR only: take the data, then append a byte to PATH (a local file
                     edited while it was sent), then answer as usual
  trickle            LIST/MLSD: send the listing one byte every 200 ms, never ending
  tls-stall          AUTH only: say 234, then never answer the TLS handshake
  tls-drop           AUTH only: say 234, take the handshake's first bytes, then hang up
"""
import argparse
import os
import socket
import sys
import threading
import time

COUNTS = {}
COUNTS_LOCK = threading.Lock()


def parse_args():
    p = argparse.ArgumentParser()
    p.add_argument('--root', required=True, help='folder the uploads are stored in')
    p.add_argument('--log', required=True, help='file every command line is appended to')
    p.add_argument('--user', default='tolvane')
    p.add_argument('--password', default='secret')
    p.add_argument('--rule', action='append', default=[], help='CMD[#N]=ACTION')
    return p.parse_args()


def parse_rules(texts):
    rules = []
    for text in texts:
        target, action = text.split('=', 1)
        command, _, nth = target.partition('#')
        rules.append((command.upper(), int(nth) if nth else None, action))
    return rules


def unescape(text):
    """The argument's own bytes, with \\r, \\n, \\0, \\\\ and \\xNN written out."""
    raw = os.fsencode(text)
    named = {ord('r'): 13, ord('n'): 10, ord('0'): 0, 0x5C: 0x5C}
    out = bytearray()
    i = 0
    while i < len(raw):
        if raw[i] == 0x5C and i + 1 < len(raw):
            if raw[i + 1] == ord('x'):
                out.append(int(raw[i + 2:i + 4], 16))
                i += 4
                continue
            out.append(named.get(raw[i + 1], raw[i + 1]))
            i += 2
            continue
        out.append(raw[i])
        i += 1
    return bytes(out)


def escaped(line):
    out = []
    for b in line:
        if b == 0x5C:
            out.append('\\\\')
        elif b < 0x20 or b > 0x7E:
            out.append('\\x%02x' % b)
        else:
            out.append(chr(b))
    return ''.join(out)


class Session:
    def __init__(self, conn, args, rules):
        self.conn = conn
        self.args = args
        self.rules = rules
        self.buffer = b''
        self.listener = None
        self.user = None

    # --- plumbing -------------------------------------------------------------------------
    def send(self, data):
        self.conn.sendall(data if data.endswith(b'\r\n') else data + b'\r\n')

    def reply(self, text):
        self.send(text.encode('utf-8'))

    def read_line(self):
        while b'\n' not in self.buffer:
            chunk = self.conn.recv(65536)
            if not chunk:
                return None
            self.buffer += chunk
        line, self.buffer = self.buffer.split(b'\n', 1)
        return line[:-1] if line.endswith(b'\r') else line

    def log(self, line):
        with open(self.args.log, 'a', encoding='ascii') as f:
            f.write(escaped(line) + '\n')

    def action_for(self, command):
        with COUNTS_LOCK:
            COUNTS[command] = COUNTS.get(command, 0) + 1
            count = COUNTS[command]
        for name, nth, action in self.rules:
            if name == command and (nth is None or nth == count):
                return action
        return None

    def stall(self):
        while self.conn.recv(65536):
            pass

    # --- the conversation -----------------------------------------------------------------
    def run(self):
        action = self.action_for('BANNER')
        if not self.apply(action, 'BANNER'):
            self.reply('220 Scripted test server ready.')
        while True:
            line = self.read_line()
            if line is None:
                return
            self.log(line)
            command, _, argument = line.partition(b' ')
            command = command.decode('latin-1').upper()
            action = self.action_for(command)
            kind = action.split(':', 1)[0] if action else None
            if kind in ('final', 'drop-after-data', 'stall-data', 'slow-data', 'touch'):
                self.store(argument, action)
            elif kind == 'trickle':
                self.send_listing(trickle=True)
            elif not self.apply(action, command):
                if not self.handle(command, argument):
                    return

    def apply(self, action, command):
        """Carries out a rule; False when there is none and the normal reply is due."""
        if action is None:
            return False
        kind, _, text = action.partition(':')
        if kind == 'drop':
            raise ConnectionAbortedError
        if kind == 'stall':
            self.stall()
            raise ConnectionAbortedError
        if kind in ('tls-stall', 'tls-drop'):
            self.reply('234 Go ahead.')
            if kind == 'tls-stall':
                self.stall()
            self.conn.recv(65536)
            raise ConnectionAbortedError
        if kind == 'reply':
            self.send(unescape(text))
        elif kind == 'huge':
            self.send(text.encode() + b' ' + b'x' * (1024 * 1024))
        else:
            raise ValueError('unknown action ' + action)
        return True

    def handle(self, command, argument):
        simple = {
            'FEAT': '211-Features:\r\n MDTM\r\n SIZE\r\n UTF8\r\n211 End',
            'OPTS': '200 OK.', 'TYPE': '200 Type set.', 'CWD': '250 Folder changed.',
            'PWD': '257 "/" is the current folder.', 'NOOP': '200 OK.',
            'SYST': '215 UNIX Type: L8', 'MDTM': '550 No such file.',
            'MKD': '257 Created.',
        }
        if command in simple:
            self.reply(simple[command])
        elif command == 'USER':
            self.user = argument
            self.reply('331 Password required.')
        elif command == 'PASS':
            ok = self.user == self.args.user.encode() and argument == self.args.password.encode()
            self.reply('230 Logged in.' if ok else '530 Login incorrect.')
        elif command in ('EPSV', 'PASV'):
            self.open_passive(command)
        elif command == 'STOR':
            self.store(argument, None)
        elif command == 'SIZE':
            path = self.stored_path(argument)
            exists = os.path.isfile(path)
            self.reply('213 %d' % os.path.getsize(path) if exists else '550 No such file.')
        elif command in ('RNFR', 'RNTO', 'DELE'):
            self.change_file(command, self.stored_path(argument))
        elif command in ('LIST', 'NLST', 'MLSD'):
            self.send_listing()
        elif command == 'QUIT':
            self.reply('221 Goodbye.')
            return False
        else:
            self.reply('502 Command not implemented.')
        return True

    def open_passive(self, command):
        if self.listener:
            self.listener.close()
        self.listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
        self.listener.bind(('127.0.0.1', 0))
        self.listener.listen(1)
        self.listener.settimeout(10)
        port = self.listener.getsockname()[1]
        if command == 'EPSV':
            self.reply('229 Entering Extended Passive Mode (|||%d|)' % port)
        else:
            self.reply('227 Entering Passive Mode (127,0,0,1,%d,%d)' % (port >> 8, port & 0xFF))

    def accept_data(self, small_window=False):
        if not self.listener:
            self.reply('425 Use PASV first.')
            return None
        listener, self.listener = self.listener, None
        try:
            if small_window:
                listener.setsockopt(socket.SOL_SOCKET, socket.SO_RCVBUF, 4096)
            data, _ = listener.accept()
        except OSError:
            self.reply('425 No data connection.')
            return None
        finally:
            listener.close()
        data.settimeout(30)
        return data

    def store(self, argument, action):
        kind, _, text = (action or '').partition(':')
        data = self.accept_data(small_window=kind in ('stall-data', 'slow-data'))
        if data is None:
            return
        self.reply('150 Ready for the data.')
        if kind == 'slow-data':
            self.store_slowly(data, self.stored_path(argument))
            return
        if kind == 'stall-data':
            self.stall()  # until the client gives up and hangs up
            data.close()
            raise ConnectionAbortedError
        received = bytearray()  # bytes += would copy the whole upload for every chunk
        while True:
            chunk = data.recv(65536)
            if not chunk:
                break
            received += chunk
        data.close()
        if kind == 'drop-after-data':
            raise ConnectionAbortedError
        if kind == 'final':
            self.send(unescape(text))
            return
        if kind == 'touch':
            with open(text, 'ab') as f:
                f.write(b'+')
        with open(self.stored_path(argument), 'wb') as f:
            f.write(received)
        self.reply('226 Transfer complete.')

    def store_slowly(self, data, path):
        with open(path, 'wb') as f:
            try:
                while True:
                    time.sleep(0.05)
                    chunk = data.recv(65536)
                    if not chunk:
                        break
                    f.write(chunk)
            except OSError:
                data.close()
                self.reply('426 Connection closed; transfer aborted.')
                return
        data.close()
        self.reply('226 Transfer complete.')

    def stored_path(self, argument):
        name = os.path.basename(argument.decode('utf-8', 'replace')) or 'unnamed'
        return os.path.join(self.args.root, name)

    def change_file(self, command, path):
        if command == 'RNFR':
            self.rename_from = path if os.path.exists(path) else None
            self.reply('350 Ready for the new name.' if self.rename_from else '550 No such file.')
        elif command == 'RNTO' and getattr(self, 'rename_from', None):
            os.replace(self.rename_from, path)
            self.rename_from = None
            self.reply('250 Renamed.')
        elif command == 'DELE' and os.path.exists(path):
            os.remove(path)
            self.reply('250 Deleted.')
        else:
            self.reply('550 No such file.')

    def send_listing(self, trickle=False):
        data = self.accept_data()
        if data is None:
            return
        self.reply('150 Here comes the listing.')
        try:
            while trickle:
                data.send(b'-')
                time.sleep(0.2)
        except OSError:
            pass
        data.close()
        self.reply('226 Listing sent.')


def serve_one(conn, args, rules):
    try:
        Session(conn, args, rules).run()
    except (ConnectionAbortedError, OSError):
        pass
    finally:
        try:
            conn.shutdown(socket.SHUT_RDWR)
        except OSError:
            pass
        conn.close()


def watch_stdin():
    # The test that started us is gone once our stdin closes.
    try:
        sys.stdin.buffer.read()
    finally:
        os._exit(0)


def main():
    args = parse_args()
    rules = parse_rules(args.rule)
    server = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    server.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    server.bind(('127.0.0.1', 0))
    server.listen(8)
    threading.Thread(target=watch_stdin, daemon=True).start()
    print(server.getsockname()[1], flush=True)
    while True:
        conn, _ = server.accept()
        threading.Thread(target=serve_one, args=(conn, args, rules), daemon=True).start()


if __name__ == '__main__':
    main()
