"""Column types: the SQL Server type a declared SQLite column type stands for, on the wire and as
the catalogue names it, and the SQLite values made into that type's values."""
import datetime
import re
from decimal import Decimal, InvalidOperation

from tds_wire import Column

_DECLARED = re.compile(r'^\s*([A-Za-z][A-Za-z ]*?)\s*(?:\(\s*(\d+)\s*(?:,\s*(\d+)\s*)?\))?\s*$')


class SqlError(Exception):
    """An error as the server reports it: number, message text, class (severity) and state."""

    def __init__(self, number, text, cls=16, state=1):
        super().__init__(text)
        self.number, self.text, self.cls, self.state = number, text, cls, state


def parse_declared(declared):
    """(base in upper case without blanks, size or None, scale or None) of "DECIMAL (18,3)"."""
    m = _DECLARED.match(declared or '')
    if not m:
        return None, None, None
    size = int(m.group(2)) if m.group(2) else None
    scale = int(m.group(3)) if m.group(3) else None
    return m.group(1).upper().replace(' ', ''), size, scale


def column_for(name, declared):
    """The result column of a declared type, or None when the type says nothing (an expression
    has no declared type)."""
    base, size, scale = parse_declared(declared)
    if base in ('CHAR', 'CHARACTER', 'NCHAR'):
        return Column(name, 'char', size or 1)
    if base in ('VARCHAR', 'NVARCHAR', 'CHARACTERVARYING', 'TEXT'):
        return Column(name, 'varchar', min(size or 8000, 8000))
    ints = {'TINYINT': 1, 'SMALLINT': 2, 'INT': 4, 'INTEGER': 4, 'BIGINT': 8, 'BIT': 1}
    if base in ints:
        return Column(name, 'int', ints[base])
    if base == 'REAL':
        return Column(name, 'float', 4)
    if base in ('FLOAT', 'DOUBLE', 'DOUBLEPRECISION'):
        return Column(name, 'float', 8)
    if base in ('DECIMAL', 'NUMERIC'):
        return Column(name, 'decimal', precision=size or 18, scale=scale or 0)
    if base in ('DATETIME', 'DATE', 'SMALLDATETIME'):
        return Column(name, 'datetime', 8)
    return None


def server_type_text(declared):
    """The type as SQL Server's INFORMATION_SCHEMA spells it: 'char(10)', 'decimal(18,3)', 'int'."""
    base, size, scale = parse_declared(declared)
    if base is None:
        return (declared or '').lower()
    if base in ('CHAR', 'CHARACTER'):
        return 'char(%d)' % (size or 1)
    if base in ('NCHAR', 'VARCHAR', 'NVARCHAR'):
        return '%s(%d)' % (base.lower(), size or 1)
    if base in ('DECIMAL', 'NUMERIC'):
        return '%s(%d,%d)' % (base.lower(), size or 18, scale or 0)
    named = {'INTEGER': 'int', 'DOUBLE': 'float', 'DOUBLEPRECISION': 'float'}
    return named.get(base, base.lower())


def infer_column(name, values):
    """The column an expression's values fit: INT (BIGINT when one needs it), FLOAT or VARCHAR."""
    present = [v for v in values if v is not None]
    if all(isinstance(v, int) for v in present):
        small = all(-2 ** 31 <= v < 2 ** 31 for v in present)
        return Column(name, 'int', 4 if small else 8)
    if all(isinstance(v, (int, float)) for v in present):
        return Column(name, 'float', 8)
    longest = max(len(_text(v).encode('cp1252', 'replace')) for v in present)
    return Column(name, 'varchar', min(max(longest, 1), 8000))


def _text(v):
    if isinstance(v, bytes):
        return v.decode('latin-1')
    return v if isinstance(v, str) else str(v)


def _number(v, kind):
    if isinstance(v, bytes):
        v = v.decode('latin-1')
    if isinstance(v, str):
        try:
            return Decimal(v.strip())
        except InvalidOperation:
            raise SqlError(245 if kind == 'int' else 8114, "Conversion failed when converting the "
                           "varchar value '%s' to data type %s." % (v, kind)) from None
    return v


def _datetime(v):
    text = _text(v).strip()
    for form in ('%Y-%m-%d %H:%M:%S.%f', '%Y-%m-%d %H:%M:%S', '%Y-%m-%dT%H:%M:%S', '%Y-%m-%d',
                 '%Y%m%d %H:%M:%S', '%Y%m%d'):
        try:
            return datetime.datetime.strptime(text, form)
        except ValueError:
            pass
    raise SqlError(241, 'Conversion failed when converting date and/or time from character '
                   'string.')


def coerce(column, v):
    """A stored SQLite value as the column's wire value (see tds_wire.encode_value)."""
    if v is None:
        return None
    kind = column.kind
    if kind in ('char', 'varchar', 'nvarchar'):
        return _text(v)
    if kind == 'datetime':
        return _datetime(v)
    n = _number(v, kind)
    if kind == 'float':
        return float(n)
    if kind == 'decimal':
        return Decimal(repr(n)) if isinstance(n, float) else Decimal(n)
    n = int(n)  # SQL Server truncates a fraction converted to an integer type
    if not -2 ** (8 * column.size - 1) <= n < 2 ** (8 * column.size - 1):
        raise SqlError(8115, 'Arithmetic overflow error converting expression to data type int.')
    return n
