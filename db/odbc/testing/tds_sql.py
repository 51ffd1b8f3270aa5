"""SQL Server statements run on an SQLite file: what SQLite does not speak is rewritten, what a
release of the server lacks is refused as that release refuses it, and the server's catalogue and
session statements are answered here."""
import re
import sqlite3
from dataclasses import dataclass

from tds_catalogue import Catalogue, Rows, sysname
from tds_types import SqlError, column_for, coerce, infer_column
from tds_wire import Column

I = re.IGNORECASE
_PIECE = re.compile(r"'(?:[^']|'')*'?|\"[^\"]*\"?|\[[^\]]*\]?|[^'\"\[]+")
_TOP = re.compile(r'^\s*SELECT\s+(DISTINCT\s+)?TOP\s*\(?\s*(\d+)\s*\)?\s+', I)
_CHANGES = re.compile(r'^\s*(INSERT|UPDATE|DELETE|REPLACE)\b', I)


@dataclass
class Release:
    """What a server release plays: its name and version, the built-in functions it lacks and the
    sys catalogue views it lacks ('*': it has no sys schema)."""
    name: str
    version: tuple
    missing_functions: tuple = ()
    missing_views: tuple = ()

    def version_text(self):
        major, minor, build = self.version
        return ('Microsoft SQL Server %s - %d.%02d.%d (X64)\n\tTDS stand-in on SQLite %s\n'
                % (self.name, major, minor, build, sqlite3.sqlite_version))


@dataclass
class Done:
    """A statement that returned no rows; `count` the rows it changed (None: it changes none),
    `database` the database it made current."""
    count: int = None
    database: str = None


def pieces(sql):
    """The statement cut into string literals, quoted names and the code between them."""
    return [m.group() for m in _PIECE.finditer(sql)]


def code_only(sql):
    """The statement with the text of its string literals blanked, for matching its code."""
    return ''.join("'" + ' ' * (len(p) - 2) + "'" if p.startswith("'") else p
                   for p in pieces(sql))


def split_statements(sql):
    statements, current = [], ''
    for p in pieces(sql):
        if p[0] in '\'"[':
            current += p
            continue
        parts = p.split(';')
        current += parts[0]
        for part in parts[1:]:
            statements.append(current)
            current = part
    statements.append(current)
    return [s.strip() for s in statements if s.strip()]


def to_sqlite(sql):
    """SQL Server's dialect as SQLite runs it: [names], the master.. and dbo. prefixes, ISNULL,
    GETDATE() and SELECT TOP n (LIMIT n at the end, after any ORDER BY)."""
    out = []
    for p in pieces(sql):
        if p.startswith('['):
            out.append('"' + p[1:-1].replace('"', '""') + '"')
        elif p[0] in '\'"':
            out.append(p)
        else:
            p = re.sub(r'\b(?:master|tempdb)\s*\.\s*(?:dbo\s*)?\.\s*', '', p, flags=I)
            p = re.sub(r'\bdbo\s*\.\s*(?=[\w"\[])', '', p, flags=I)
            p = re.sub(r'\bISNULL\s*\(', 'IFNULL(', p, flags=I)
            p = re.sub(r'\bGETDATE\s*\(\s*\)', "datetime('now', 'localtime')", p, flags=I)
            out.append(p)
    text = ''.join(out)
    m = _TOP.match(text)
    if m:
        text = 'SELECT ' + (m.group(1) or '') + text[m.end():].rstrip().rstrip(';')
        text += ' LIMIT ' + m.group(2)
    return text


def server_error(e):
    """An SQLite error as the SQL Server error of the same fault."""
    text = str(e)
    m = re.match(r'no such table: (?:main\.)?(.*)$', text)
    if m:
        return SqlError(208, "Invalid object name '%s'." % m.group(1))
    m = re.match(r'no such column: (.*)$', text)
    if m:
        return SqlError(207, "Invalid column name '%s'." % m.group(1))
    m = re.match(r'near "(.*)": syntax error', text)
    if m:
        return SqlError(102, "Incorrect syntax near '%s'." % m.group(1), cls=15)
    if text.startswith('UNIQUE constraint failed'):
        return SqlError(2627, 'Violation of UNIQUE KEY constraint. Cannot insert duplicate key '
                        '(%s).' % text, cls=14)
    m = re.match(r'NOT NULL constraint failed: (\w+)\.(\w+)', text)
    if m:
        return SqlError(515, "Cannot insert the value NULL into column '%s', table '%s'; column "
                        "does not allow nulls." % (m.group(2), m.group(1)))
    return SqlError(102, text, cls=15)


class Session:
    """One client connection's statements, on a connection of its own to the SQLite file."""

    def __init__(self, store, database, release):
        self.db = sqlite3.connect(store, isolation_level=None, check_same_thread=False)
        self.database, self.release = database, release
        self.catalogue = Catalogue(self.db, database)
        self.implicit = False  # SET IMPLICIT_TRANSACTIONS ON: a change opens a transaction
        self.last_count = 0

    def close(self):
        self.db.close()

    def batch(self, sql):
        """The outcome of each statement of a batch (Rows, Done); the first to fail ends the
        batch with its SqlError."""
        outcomes = []
        for statement in split_statements(sql):
            try:
                outcomes.append(self.statement(statement))
            except SqlError as e:
                outcomes.append(e)
                break
            except Exception as e:  # a fault of the stand-in: told to the client, not hidden
                outcomes.append(SqlError(50000, 'The stand-in failed on this statement: %r' % e))
                break
        return outcomes

    def statement(self, sql):
        flat = ' '.join(sql.split())
        self.check_release(flat)
        for handler in (self.session_statement, self.catalogue.answer, self.variables):
            outcome = handler(flat)
            if outcome is not None:
                return outcome
        return self.run(to_sqlite(sql))

    def check_release(self, flat):
        """Refuses what the release lacks, functions first, as the server's parser finds them
        before it looks names up."""
        code = code_only(flat)
        for name in self.release.missing_functions:
            if re.search(r'\b%s\s*\(' % name, code, I):
                raise SqlError(195, "'%s' is not a recognized built-in function name." % name,
                               cls=15, state=10)
        for m in re.finditer(r'\bsys\s*\.\s*(\w+)', code, I):
            if '*' in self.release.missing_views or m.group(1).lower() in \
                    self.release.missing_views:
                raise SqlError(208, "Invalid object name 'sys.%s'." % m.group(1))

    def session_statement(self, flat):
        """SET, USE and the transaction statements."""
        if re.match(r'SET IMPLICIT_TRANSACTIONS (ON|OFF)\b', flat, I):
            self.implicit = flat.upper().split()[2] == 'ON'
            return Done()
        if re.match(r'SET\b', flat, I):
            return Done()
        m = re.match(r'USE \[?([^\];]+)\]?$', flat, I)
        if m:
            name = m.group(1).strip()
            if name.lower() in (self.database.lower(), 'master'):
                return Done(database=name)
            raise SqlError(911, "Database '%s' does not exist. Make sure that the name is entered "
                           "correctly." % name)
        m = re.match(r'(?:IF @@TRANCOUNT > 0 )?(BEGIN|COMMIT|ROLLBACK)\b( TRAN(SACTION)?| WORK)?'
                     r'( BEGIN TRAN(SACTION)?)?$', flat, I)
        if m:
            self.transaction(m.group(1).upper())
            if m.group(4):
                self.transaction('BEGIN')
            return Done()
        return None

    def transaction(self, what):
        """BEGIN, COMMIT or ROLLBACK on the SQLite file; ending none or opening a second is no
        error (the server nests them)."""
        if what == 'BEGIN' and not self.db.in_transaction:
            self.db.execute('BEGIN')
        elif what in ('COMMIT', 'ROLLBACK') and self.db.in_transaction:
            self.db.execute(what)

    def variables(self, flat):
        """SELECT @@VERSION and the other global variables a client asks for."""
        m = re.match(r'SELECT (@@\w+(?: ?, ?@@\w+)*) ?;?$', flat, I)
        if not m:
            return None
        known = {'@@VERSION': (Column('', 'nvarchar', 300), self.release.version_text()),
                 '@@SPID': (Column('', 'int', 2), 51),
                 '@@TRANCOUNT': (Column('', 'int', 4), int(self.db.in_transaction)),
                 '@@ROWCOUNT': (Column('', 'int', 4), self.last_count),
                 '@@SERVERNAME': (sysname(''), 'STANDIN'),
                 '@@LANGUAGE': (sysname(''), 'us_english')}
        names = [n.strip().upper() for n in m.group(1).split(',')]
        for n in names:
            if n not in known:
                raise SqlError(137, "Must declare the scalar variable \"%s\"." % n, cls=15, state=2)
        return Rows([known[n][0] for n in names], [tuple(known[n][1] for n in names)])

    def declared_types(self, sql):
        """The declared type of each column of a query (empty for an expression), read off a
        temporary view of it; None when no view can be made of the statement."""
        try:
            self.db.execute('CREATE TEMP VIEW standin_probe AS ' + sql)
        except sqlite3.Error:
            return None
        try:
            return [r[2] for r in self.db.execute('PRAGMA temp.table_info(standin_probe)')]
        except sqlite3.Error:
            return None  # the query itself fails; running it tells how
        finally:
            self.db.execute('DROP VIEW temp.standin_probe')

    def run(self, sql):
        query = re.match(r'\s*(SELECT|WITH)\b', sql, I) is not None
        declared = self.declared_types(sql) if query else None
        if self.implicit and _CHANGES.match(sql) and not self.db.in_transaction:
            self.db.execute('BEGIN')
        try:
            cursor = self.db.execute(sql)
            rows = cursor.fetchall()
        except sqlite3.Error as e:
            raise server_error(e) from None
        if cursor.description is None:
            changes = _CHANGES.match(sql) is not None
            self.last_count = cursor.rowcount if changes else 0
            return Done(count=cursor.rowcount if changes else None)
        columns = []
        for i, d in enumerate(cursor.description):
            typed = column_for(d[0], declared[i]) if declared and i < len(declared) else None
            # The server names no expression that has no alias: "COUNT(*)" comes nameless.
            name = d[0] if typed or re.fullmatch(r'\w+', d[0]) else ''
            columns.append(typed or infer_column(name, [r[i] for r in rows]))
        self.last_count = len(rows)
        return Rows(columns, [tuple(coerce(c, v) for c, v in zip(columns, r)) for r in rows])

    def procedure(self, name, params):
        """An RPC request: sp_tables is served; any other procedure is not."""
        if name.lower().split('.')[-1] == 'sp_tables':
            return [self.catalogue.sp_tables(params)]
        return [SqlError(2812, "Could not find stored procedure '%s': this stand-in serves no "
                         "remote procedure calls but sp_tables." % name)]
