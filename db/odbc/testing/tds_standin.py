#!/usr/bin/env python3
"""A stand-in for SQL Server on a loopback port, for tests of the ODBC backend with the real
FreeTDS driver: it speaks enough TDS (7.1 to 7.4, TLS inside PRELOGIN) for the driver to log in
and runs the statements on an SQLite file. A profile picks the release it plays and the faults
it shows (see PROFILES).

  tds_standin.py --profile 2017 --store JOV.sqlite --database JOV [--user sa --password SECRET]
                 [--cert CERT.pem --key KEY.pem] [--port-file FILE] [--log FILE]

It listens on 127.0.0.1 on a port the system picks, writes that port (one line) to --port-file,
or else prints it as the first line of its output, and serves each connection in a thread of its
own until it is killed. --log gets one line per login (LOGIN tds=7.4 encryption=on ...), per
statement (SQL ...) and per event (RPC, ATTENTION, TLS, REFUSED, CUT).

The encrypting profile needs a certificate; a self-signed one for the loopback is made with
  openssl req -x509 -newkey rsa:2048 -nodes -subj /CN=localhost -days 2 \\
          -keyout key.pem -out cert.pem
(make_self_signed_cert below runs just that)."""
import argparse
import os
import re
import socket
import ssl
import struct
import subprocess
import sys
import threading
import time
from dataclasses import dataclass

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from tds_sql import Done, Release, Rows, Session  # noqa: E402
from tds_types import SqlError  # noqa: E402
from tds_wire import (ATTENTION, DONE_ATTN, DONE_COUNT, DONE_ERROR, DONE_MORE,  # noqa: E402
                      ENCRYPT_NOT_SUP, ENCRYPT_REQ, ENCRYPTION_NAMES, LOGIN7, PL_ENCRYPTION,
                      PRELOGIN, RPC, SQL_BATCH, TDS_VERSIONS, TRANSACTION, COLLATION, Channel,
                      Tokens, build_prelogin, parse_login7, parse_prelogin, parse_rpc,
                      strip_all_headers, tds_name)


@dataclass
class Profile:
    release: Release
    tds: int                   # the newest TDS it speaks: 0x71 to 0x74
    strict: bool = False       # closes the connection on a LOGIN7 newer than it speaks
    encrypt: bool = False      # requires TLS for the whole connection
    cut: str = None            # 'stall' or 'drop' the report's range query after two rows


def _release(name, version, functions=(), views=()):
    return Release(name, version, tuple(functions), tuple(views))


_2000 = _release('2000', (8, 0, 2039), ('CONCAT', 'SCHEMA_NAME'), ('*',))
_2017 = _release('2017', (14, 0, 1000))
PROFILES = {
    '2000': Profile(_2000, 0x71),
    '2000-strict': Profile(_2000, 0x71, strict=True),
    '2005': Profile(_release('2005', (9, 0, 5000), ('CONCAT',), ('sql_expression_dependencies',)),
                    0x72),
    '2008': Profile(_release('2008', (10, 50, 6000), ('CONCAT',)), 0x73),
    '2017': Profile(_2017, 0x74),
    '2022-encrypt': Profile(_release('2022', (16, 0, 1000)), 0x74, encrypt=True),
    'stalls': Profile(_2017, 0x74, cut='stall'),
    'drops': Profile(_2017, 0x74, cut='drop'),
}
STALL_SECONDS = 120
# The report's range query: all of a POHistory table's rows in a range, neither TOP nor COUNT.
_RANGE_QUERY = re.compile(r'^\s*SELECT\s+(?!TOP\b)(?!COUNT\s*\().*\bFROM\s+POHistory\w*', re.I | re.S)


def make_self_signed_cert(folder):
    """(cert.pem, key.pem) made in `folder` for CN=localhost, valid two days."""
    cert, key = os.path.join(folder, 'cert.pem'), os.path.join(folder, 'key.pem')
    subprocess.run(['openssl', 'req', '-x509', '-newkey', 'rsa:2048', '-nodes', '-subj',
                    '/CN=localhost', '-days', '2', '-keyout', key, '-out', cert],
                   check=True, capture_output=True)
    return cert, key


class Log:
    def __init__(self, path):
        self.file = open(path, 'a', encoding='utf-8') if path else None
        self.lock = threading.Lock()

    def __call__(self, line):
        if self.file:
            with self.lock:
                self.file.write(' '.join(line.split()) + '\n')
                self.file.flush()


class Client:
    """One connection: PRELOGIN (and TLS), LOGIN7, then requests until the client leaves."""

    def __init__(self, server, sock, spid):
        self.server, self.profile, self.log = server, server.profile, server.log
        self.sock, self.channel = sock, Channel(sock, spid)
        self.session, self.tds, self.encrypted = None, 0x71, False

    def serve(self):
        try:
            if self.log_in():
                while self.request():
                    pass
        except (OSError, ssl.SSLError, struct.error):
            pass  # the client went away mid-message
        finally:
            if self.session:
                self.session.close()
            try:
                self.sock.shutdown(socket.SHUT_RDWR)
            except OSError:
                pass
            self.sock.close()

    def prelogin(self, payload):
        """Answers the PRELOGIN; with the encrypting profile does the TLS handshake. The
        encryption the client asked for, or None when the connection is refused."""
        options = parse_prelogin(payload)
        asked = options.get(PL_ENCRYPTION, bytes([ENCRYPT_NOT_SUP]))[0]
        offer = ENCRYPT_REQ if self.profile.encrypt else ENCRYPT_NOT_SUP
        self.channel.send_message(build_prelogin(self.profile.release.version, offer))
        if not self.profile.encrypt:
            return asked
        if asked == ENCRYPT_NOT_SUP:
            self.log('REFUSED client cannot encrypt (PRELOGIN encryption=not-supported)')
            return None
        if not self.channel.start_tls(self.server.tls):
            self.log('REFUSED no TLS handshake after PRELOGIN (LOGIN7 in clear?)')
            return None
        self.encrypted = True
        tls = self.channel.transport.tls
        self.log('TLS %s %s' % (tls.version(), tls.cipher()[0]))
        return asked

    def log_in(self):
        message = self.channel.read_message()
        if message is None:
            return False
        asked = None
        if message[0] == PRELOGIN:
            asked = self.prelogin(message[1])
            if asked is None:
                return False
            message = self.channel.read_message()
            if message is None:
                return False
        if message[0] != LOGIN7:
            self.log('REFUSED packet type %d instead of LOGIN7' % message[0])
            return False
        login = parse_login7(message[1])
        self.log('LOGIN tds=%s (0x%08X) encryption=%s user=%s database=%s app=%s' % (
            tds_name(login.version), login.version,
            ENCRYPTION_NAMES.get(asked, 'none') if asked is not None else 'none',
            login.user, login.database, login.app))
        major = login.version >> 24
        if self.profile.strict and major > self.profile.tds:
            self.log('REFUSED TDS %s is newer than this server speaks: connection closed'
                     % tds_name(login.version))
            return False
        self.tds = min(max(major, 0x70), self.profile.tds)
        return self.accept(login)

    def accept(self, login):
        t = Tokens(self.tds)
        args = self.server.args
        if args.password is not None and (login.user != args.user or
                                          login.password != args.password):
            t.message(18456, "Login failed for user '%s'." % login.user, cls=14, state=1)
            t.done(DONE_ERROR)
            self.channel.send_message(bytes(t.data))
            return False
        database = login.database or 'master'
        if database.lower() not in (args.database.lower(), 'master'):
            t.message(4060, 'Cannot open database "%s" requested by the login. The login '
                      'failed.' % database, cls=11, state=1)
            t.done(DONE_ERROR)
            self.channel.send_message(bytes(t.data))
            return False
        self.session = Session(args.store, args.database, self.profile.release)
        t.envchange(1, database, 'master')
        t.message(5701, "Changed database context to '%s'." % database, cls=0, state=2,
                  error=False)
        if self.tds >= 0x71:
            t.envchange(7, COLLATION, b'')
        t.envchange(2, 'us_english', '')
        t.message(5703, 'Changed language setting to us_english.', cls=0, error=False)
        t.loginack(TDS_VERSIONS[self.tds], 'Microsoft SQL Server', self.profile.release.version)
        size = login.packet_size if 512 <= login.packet_size <= 32767 else 4096
        t.envchange(4, str(size), '4096')
        t.done()
        self.channel.send_message(bytes(t.data))
        self.channel.packet_size = size
        return True

    def request(self):
        """Serves one request; False once the connection is over."""
        message = self.channel.read_message()
        if message is None:
            return False
        kind, payload = message
        t = Tokens(self.tds)
        if kind == ATTENTION:
            self.log('ATTENTION')
            t.done(DONE_ATTN)
        elif kind == SQL_BATCH:
            headers, rest = strip_all_headers(payload)
            if headers and self.profile.tds < 0x72:
                # This release reads the 7.2 headers as the text of the batch.
                self.log('SQL (batch with ALL_HEADERS, unreadable for TDS %s)'
                         % tds_name(TDS_VERSIONS[self.tds]))
                self.answer(t, [SqlError(102, "Incorrect syntax near ''.", cls=15)])
            else:
                sql = rest.decode('utf-16-le', 'replace')
                self.log('SQL ' + sql)
                outcomes = self.session.batch(sql)
                if self.profile.cut and _RANGE_QUERY.match(sql) and outcomes and \
                        isinstance(outcomes[0], Rows):
                    self.cut(t, outcomes[0])
                    return False
                self.answer(t, outcomes)
        elif kind == RPC:
            name, params = parse_rpc(strip_all_headers(payload)[1])
            self.log('RPC %s %s' % (name, params))
            self.answer(t, self.session.procedure(name, params), procedure=True)
        elif kind == TRANSACTION:
            self.transaction(t, strip_all_headers(payload)[1])
        else:
            self.log('REFUSED request of packet type %d' % kind)
            return False
        self.channel.send_message(bytes(t.data))
        return True

    def answer(self, t, outcomes, procedure=False):
        token = 0xFE if procedure else 0xFD
        for i, o in enumerate(outcomes):
            more = DONE_MORE if i < len(outcomes) - 1 else 0
            if isinstance(o, SqlError):
                t.message(o.number, o.text, cls=o.cls, state=o.state)
                t.done(DONE_ERROR | more, token=token)
            elif isinstance(o, Rows):
                t.colmetadata(o.columns)
                for r in o.rows:
                    t.row(o.columns, r)
                if o.procedure:
                    t.done(DONE_COUNT | DONE_MORE, len(o.rows), token=0xFF)
                    t.returnstatus(0)
                    t.done(more, token=0xFE)
                else:
                    t.done(DONE_COUNT | more, len(o.rows), token=token)
            elif isinstance(o, Done):
                if o.database:
                    t.envchange(1, o.database, self.session.database)
                    t.message(5701, "Changed database context to '%s'." % o.database, cls=0,
                              error=False)
                status = DONE_COUNT if o.count is not None else 0
                t.done(status | more, o.count or 0, token=token)
        if not outcomes:
            t.done(token=token)

    def transaction(self, t, payload):
        """A transaction manager request (TDS 7.2+): begin (5), commit (7), rollback (8); a
        commit or rollback may begin the next transaction at once."""
        (request,) = struct.unpack_from('<H', payload)
        descriptor = struct.pack('<q', id(self))
        self.log('TRANSACTION request %d' % request)
        if request == 5:
            self.session.transaction('BEGIN')
            t.envchange(8, descriptor, b'')
        elif request in (7, 8):
            self.session.transaction('COMMIT' if request == 7 else 'ROLLBACK')
            t.envchange(9 if request == 7 else 10, b'', descriptor)
            name_length = payload[2] if len(payload) > 2 else 0
            if len(payload) > 3 + 2 * name_length and payload[3 + 2 * name_length] & 1:
                self.session.transaction('BEGIN')
                t.envchange(8, descriptor, b'')
        t.done()

    def cut(self, t, rows):
        """Sends the result's COLMETADATA and first two rows without the end-of-message bit,
        then stalls (nothing more until the client leaves or STALL_SECONDS pass) or drops the
        connection."""
        t.colmetadata(rows.columns)
        for r in rows.rows[:2]:
            t.row(rows.columns, r)
        self.channel.send_message(bytes(t.data), end=False)
        self.log('CUT %s after %d rows' % (self.profile.cut, min(2, len(rows.rows))))
        if self.profile.cut != 'stall':
            return
        self.sock.settimeout(1.0)
        deadline = time.monotonic() + STALL_SECONDS
        while time.monotonic() < deadline:
            try:
                if not self.sock.recv(65536):
                    break
            except socket.timeout:
                continue


class Server:
    def __init__(self, args):
        self.args, self.profile, self.log = args, PROFILES[args.profile], Log(args.log)
        self.tls = None
        if self.profile.encrypt:
            self.tls = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
            self.tls.maximum_version = ssl.TLSVersion.TLSv1_2
            self.tls.load_cert_chain(args.cert, args.key)

    def serve(self):
        listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
        listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
        listener.bind(('127.0.0.1', 0))
        listener.listen(16)
        port = listener.getsockname()[1]
        if self.args.port_file:
            temporary = self.args.port_file + '.tmp'
            with open(temporary, 'w') as f:
                f.write('%d\n' % port)
            os.replace(temporary, self.args.port_file)
        else:
            print(port, flush=True)
        spid = 51
        while True:
            sock, _ = listener.accept()
            sock.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
            client = Client(self, sock, spid)
            threading.Thread(target=client.serve, daemon=True).start()
            spid = 51 + (spid - 50) % 1000


def main():
    parser = argparse.ArgumentParser(description=__doc__.split('\n')[0])
    parser.add_argument('--profile', required=True, choices=sorted(PROFILES))
    parser.add_argument('--store', required=True, help='the SQLite file served')
    parser.add_argument('--database', required=True, help='the name the database is served by')
    parser.add_argument('--user', default='sa')
    parser.add_argument('--password', help='checked with --user; without it any login goes')
    parser.add_argument('--cert')
    parser.add_argument('--key')
    parser.add_argument('--port-file')
    parser.add_argument('--log')
    args = parser.parse_args()
    if PROFILES[args.profile].encrypt and not (args.cert and args.key):
        parser.error('profile %s needs --cert and --key' % args.profile)
    if not os.path.exists(args.store):
        parser.error('no store %s' % args.store)
    Server(args).serve()


if __name__ == '__main__':
    main()
