"""The TDS wire format as a server writes it: packets, the PRELOGIN and LOGIN7 messages a client
sends, the RPC request's parameters and the tokens of a server's answers (MS-TDS)."""
import datetime
import ssl
import struct
from dataclasses import dataclass
from decimal import ROUND_HALF_UP, Decimal

# Packet types.
SQL_BATCH, RPC, TABULAR, ATTENTION, TRANSACTION, LOGIN7, PRELOGIN = 1, 3, 4, 6, 14, 16, 18
EOM = 0x01  # the last packet of a message
HEADER = 8

# PRELOGIN options and the ENCRYPTION values.
PL_VERSION, PL_ENCRYPTION, PL_INSTOPT, PL_THREADID, PL_MARS = 0, 1, 2, 3, 4
ENCRYPT_OFF, ENCRYPT_ON, ENCRYPT_NOT_SUP, ENCRYPT_REQ = 0, 1, 2, 3
ENCRYPTION_NAMES = {0: 'off', 1: 'on', 2: 'not-supported', 3: 'required'}

# DONE status bits.
DONE_FINAL, DONE_MORE, DONE_ERROR, DONE_COUNT, DONE_ATTN = 0x00, 0x01, 0x02, 0x10, 0x20

# The LOGIN7 / LOGINACK version of each TDS release, by its LOGINACK major byte.
TDS_VERSIONS = {0x70: 0x70000000, 0x71: 0x71000001, 0x72: 0x72090002, 0x73: 0x730B0003,
                0x74: 0x74000004}
# SQL_Latin1_General_CP1_CI_AS: LCID 0x0409, case and accent flags, sort order 52 (code page 1252).
COLLATION = bytes([0x09, 0x04, 0xD0, 0x00, 0x34])


def tds_name(version):
    """'7.4' for 0x74000004 (the major byte counts; 7.0 is 0x70000000)."""
    return '7.%d' % ((version >> 24) - 0x70)


class PlainTransport:
    def __init__(self, sock):
        self.sock = sock

    def recv(self, n):
        return self.sock.recv(n)

    def send(self, data):
        self.sock.sendall(data)


class TlsTransport:
    """TLS records straight on the socket, as the connection runs once the handshake is done."""

    def __init__(self, sock, tls, incoming, outgoing):
        self.sock, self.tls, self.incoming, self.outgoing = sock, tls, incoming, outgoing

    def recv(self, n):
        while True:
            try:
                return self.tls.read(n)
            except ssl.SSLWantReadError:
                data = self.sock.recv(65536)
                if not data:
                    return b''
                self.incoming.write(data)
            except (ssl.SSLZeroReturnError, ssl.SSLEOFError):
                return b''

    def send(self, data):
        self.tls.write(data)
        self.sock.sendall(self.outgoing.read())


class Channel:
    """Messages in packets over a transport that TLS may replace after the PRELOGIN."""

    def __init__(self, sock, spid):
        self.sock, self.spid = sock, spid
        self.transport = PlainTransport(sock)
        self.packet_size = 4096

    def read_exact(self, n):
        data = b''
        while len(data) < n:
            part = self.transport.recv(n - len(data))
            if not part:
                return None
            data += part
        return data

    def read_packet(self):
        """(type, status, payload), or None once the client has gone."""
        head = self.read_exact(HEADER)
        if head is None:
            return None
        kind, status, length = struct.unpack_from('>BBH', head)
        body = self.read_exact(length - HEADER) if length > HEADER else b''
        return None if body is None else (kind, status, body)

    def read_message(self):
        """(type, payload) of a whole message; an attention packet is a message of its own."""
        packet = self.read_packet()
        if packet is None:
            return None
        kind, status, payload = packet
        while not status & EOM and kind != ATTENTION:
            packet = self.read_packet()
            if packet is None:
                return None
            status, payload = packet[1], payload + packet[2]
        return kind, payload

    def send_message(self, payload, kind=TABULAR, end=True):
        """Sends `payload` in packets; `end` False leaves the end-of-message bit off the last."""
        room = self.packet_size - HEADER
        chunks = [payload[i:i + room] for i in range(0, len(payload), room)] or [b'']
        wire = b''
        for i, chunk in enumerate(chunks):
            last = i == len(chunks) - 1
            status = EOM if last and end else 0
            wire += struct.pack('>BBHHBB', kind, status, len(chunk) + HEADER, self.spid,
                                (i + 1) % 256, 0) + chunk
        self.transport.send(wire)

    def start_tls(self, context):
        """The server's side of the handshake, its records carried in PRELOGIN packets; after it
        the whole connection runs in TLS. False when the client left or sent something else."""
        incoming, outgoing = ssl.MemoryBIO(), ssl.MemoryBIO()
        tls = context.wrap_bio(incoming, outgoing, server_side=True)
        for _ in range(64):  # a TLS 1.2 handshake takes two or three flights each way
            try:
                tls.do_handshake()
                done = True
            except ssl.SSLWantReadError:
                done = False
            flight = outgoing.read()
            if flight:
                self.send_message(flight, kind=PRELOGIN)
            if done:
                self.transport = TlsTransport(self.sock, tls, incoming, outgoing)
                return True
            packet = self.read_packet()
            if packet is None or packet[0] != PRELOGIN:
                return False
            incoming.write(packet[2])
        return False


def parse_prelogin(payload):
    """{option: bytes} of a PRELOGIN message."""
    options, pos = {}, 0
    while pos < len(payload) and payload[pos] != 0xFF and pos + 5 <= len(payload):
        token, offset, length = struct.unpack_from('>BHH', payload, pos)
        options[token] = payload[offset:offset + length]
        pos += 5
    return options


def build_prelogin(version, encryption):
    """The server's PRELOGIN answer: VERSION (major, minor, build), ENCRYPTION, INSTOPT, THREADID
    (empty, as servers send it) and MARS off."""
    major, minor, build = version
    options = [(PL_VERSION, struct.pack('>BBHH', major, minor, build, 0)),
               (PL_ENCRYPTION, bytes([encryption])), (PL_INSTOPT, b'\x00'),
               (PL_THREADID, b''), (PL_MARS, b'\x00')]
    offset = 5 * len(options) + 1
    table, data = b'', b''
    for token, value in options:
        table += struct.pack('>BHH', token, offset + len(data), len(value))
        data += value
    return table + b'\xff' + data


@dataclass
class Login:
    version: int
    packet_size: int
    user: str
    password: str
    app: str
    database: str
    language: str


def unscramble(data):
    """The LOGIN7 password: each byte had its nibbles swapped, then was XORed with 0xA5."""
    out = bytearray()
    for b in data:
        b ^= 0xA5
        out.append(((b << 4) & 0xF0) | (b >> 4))
    return bytes(out)


def parse_login7(p):
    _, version, packet_size = struct.unpack_from('<III', p, 0)

    def field(at, scrambled=False):
        offset, chars = struct.unpack_from('<HH', p, at)
        raw = p[offset:offset + 2 * chars]
        return (unscramble(raw) if scrambled else raw).decode('utf-16-le', 'replace')

    return Login(version=version, packet_size=packet_size, user=field(40),
                 password=field(44, scrambled=True), app=field(48), language=field(64),
                 database=field(68))


def strip_all_headers(payload):
    """(True, rest) when `payload` starts with the ALL_HEADERS of TDS 7.2+, else (False, payload).
    Its first DWORD is the headers' total length; each header has a length and a type 1 to 3,
    which as the text of a 7.1 batch would be control characters."""
    if len(payload) < 10:
        return False, payload
    total, first, kind = struct.unpack_from('<IIH', payload)
    if 10 <= total <= len(payload) and 6 <= first <= total and kind in (1, 2, 3):
        return True, payload[total:]
    return False, payload


def parse_rpc(payload):
    """(procedure name or '#id', {parameter name: value}) of an RPC request (after its headers).
    Only character and integer parameters are read: the catalogue procedures take no others."""
    (name_length,) = struct.unpack_from('<H', payload)
    pos = 2
    if name_length == 0xFFFF:
        name = '#%d' % struct.unpack_from('<H', payload, pos)
        pos += 2
    else:
        name = payload[pos:pos + 2 * name_length].decode('utf-16-le', 'replace')
        pos += 2 * name_length
    pos += 2  # option flags
    params = {}
    while pos < len(payload) and payload[pos] not in (0x80, 0xFF):
        n = payload[pos]
        pname = payload[pos + 1:pos + 1 + 2 * n].decode('utf-16-le', 'replace')
        pos += 1 + 2 * n + 1  # name, status flags
        kind = payload[pos]
        if kind in (0xE7, 0xEF, 0xA7, 0xAF):
            (length,) = struct.unpack_from('<H', payload, pos + 8)
            pos += 10
            value = None
            if length != 0xFFFF:
                raw = payload[pos:pos + length]
                value = raw.decode('utf-16-le' if kind in (0xE7, 0xEF) else 'cp1252', 'replace')
                pos += length
        elif kind == 0x26:
            length = payload[pos + 2]
            value = int.from_bytes(payload[pos + 3:pos + 3 + length], 'little', signed=True) \
                if length else None
            pos += 3 + length
        else:
            break  # a type the catalogue procedures are not called with
        params[pname.lstrip('@').lower()] = value
    return name, params


@dataclass
class Column:
    """A result column: kind is char, varchar or nvarchar (size in characters), int or float
    (size in bytes), decimal (precision, scale) or datetime. Every column is nullable."""
    name: str
    kind: str
    size: int = 0
    precision: int = 0
    scale: int = 0


def decimal_bytes(precision):
    """The wire size of a DECIMALN value of `precision` digits: sign byte and magnitude."""
    return 5 if precision <= 9 else 9 if precision <= 19 else 13 if precision <= 28 else 17


def b_varchar(text):
    return bytes([len(text)]) + text.encode('utf-16-le')


def us_varchar(text):
    return struct.pack('<H', len(text)) + text.encode('utf-16-le')


class Tokens:
    """The token stream of one answer, written for the TDS version the login settled on."""

    def __init__(self, tds):
        self.tds, self.data = tds, bytearray()

    def _token(self, token, body):
        self.data += struct.pack('<BH', token, len(body)) + body

    def loginack(self, version, product, release):
        major, minor, build = release
        body = (b'\x01' + struct.pack('>I', version) + b_varchar(product) +
                struct.pack('>BBH', major, minor, build))
        self._token(0xAD, body)

    def envchange(self, kind, new, old):
        """ENVCHANGE of a text value (database 1, language 2, packet size 4) or, given bytes, of a
        binary one (collation 7, transactions 8 to 10)."""
        if isinstance(new, bytes):
            body = bytes([kind, len(new)]) + new + bytes([len(old)]) + old
        else:
            body = bytes([kind]) + b_varchar(new) + b_varchar(old)
        self._token(0xE3, body)

    def message(self, number, text, cls=16, state=1, server='STANDIN', error=True, line=1):
        """ERROR (or INFO when not `error`); the line number is a DWORD from TDS 7.2 on."""
        body = (struct.pack('<iBB', number, state, cls) + us_varchar(text) + b_varchar(server) +
                b_varchar('') + struct.pack('<i' if self.tds >= 0x72 else '<h', line))
        self._token(0xAA if error else 0xAB, body)

    def done(self, status=DONE_FINAL, count=0, token=0xFD, command=0xC1):
        """DONE (0xFD), DONEPROC (0xFE) or DONEINPROC (0xFF); the count is 8 bytes from 7.2 on."""
        self.data += struct.pack('<BHH', token, status, command)
        self.data += struct.pack('<q' if self.tds >= 0x72 else '<i', count)

    def returnstatus(self, value=0):
        self.data += struct.pack('<Bi', 0x79, value)

    def colmetadata(self, columns):
        self.data += struct.pack('<BH', 0x81, len(columns))
        for c in columns:
            self.data += struct.pack('<I' if self.tds >= 0x72 else '<H', 0)  # user type
            self.data += struct.pack('<H', 0x0001 | 0x0008)  # nullable, updatability unknown
            self.data += self._type_info(c) + b_varchar(c.name)

    def _type_info(self, c):
        collation = COLLATION if self.tds >= 0x71 else b''
        if c.kind == 'int':
            return bytes([0x26, c.size])
        if c.kind == 'float':
            return bytes([0x6D, c.size])
        if c.kind == 'decimal':
            return bytes([0x6A, decimal_bytes(c.precision), c.precision, c.scale])
        if c.kind == 'datetime':
            return bytes([0x6F, 8])
        kind, width = {'char': (0xAF, 1), 'varchar': (0xA7, 1), 'nvarchar': (0xE7, 2)}[c.kind]
        return bytes([kind]) + struct.pack('<H', c.size * width) + collation

    def row(self, columns, values):
        self.data += b'\xd1'
        for c, v in zip(columns, values):
            self.data += encode_value(c, v)


def encode_value(c, v):
    """One ROW value: Python str, int, float, Decimal or datetime for the column's kind; None is
    NULL (a zero length byte, or 0xFFFF for the character types)."""
    if c.kind in ('char', 'varchar', 'nvarchar'):
        if v is None:
            return b'\xff\xff'
        if c.kind == 'nvarchar':
            raw = v[:c.size].encode('utf-16-le')
        else:
            raw = v.encode('cp1252', 'replace')[:c.size]
            if c.kind == 'char':
                raw = raw.ljust(c.size, b' ')  # CHAR(n) values always have n characters
        return struct.pack('<H', len(raw)) + raw
    if v is None:
        return b'\x00'
    if c.kind == 'int':
        return bytes([c.size]) + v.to_bytes(c.size, 'little', signed=True)
    if c.kind == 'float':
        return bytes([c.size]) + struct.pack('<f' if c.size == 4 else '<d', v)
    if c.kind == 'decimal':
        size = decimal_bytes(c.precision)
        mantissa = int(Decimal(v).scaleb(c.scale).to_integral_value(ROUND_HALF_UP))
        if abs(mantissa) >= 10 ** c.precision:
            raise OverflowError('arithmetic overflow for decimal(%d,%d)' % (c.precision, c.scale))
        return (bytes([size, 1 if mantissa >= 0 else 0]) +
                abs(mantissa).to_bytes(size - 1, 'little'))
    # datetime: days since 1900-01-01 and the time of day in 1/300 s
    days = (v.date() - datetime.date(1900, 1, 1)).days
    seconds = v.hour * 3600 + v.minute * 60 + v.second + v.microsecond / 1e6
    return b'\x08' + struct.pack('<iI', days, round(seconds * 300))
