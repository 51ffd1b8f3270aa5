"""SQL Server's catalogue as the report program queries it, answered from the SQLite file's own:
the databases, the tables, a table's columns with their types, the objects bound to a column and
the sp_tables procedure. Queries are recognised by their shape, not their exact text."""
import re
from dataclasses import dataclass

from tds_types import server_type_text
from tds_wire import Column

I = re.IGNORECASE
SYSTEM_DATABASES = ('master', 'model', 'msdb', 'tempdb')
_LITERAL = r"N?'((?:[^']|'')*)'"
_DATABASES = re.compile(r'^SELECT name FROM (?:master ?\. ?(?:dbo ?)?\. ?)?'
                        r'(?:sysdatabases|sys ?\. ?databases)\b(.*)$', I)
_TABLES = re.compile(r'^SELECT TABLE_NAME FROM INFORMATION_SCHEMA ?\. ?TABLES\b(.*)$', I)
_COLUMNS = re.compile(r'^SELECT COLUMN_NAME ?,.* FROM INFORMATION_SCHEMA ?\. ?COLUMNS WHERE .*?'
                      r'\bTABLE_NAME ?= ?' + _LITERAL, I)
_BOUND = re.compile(r'^SELECT DISTINCT OBJECT_NAME ?\(.*\bFROM '
                    r'(?:sysdepends|sys ?\. ?sql_expression_dependencies)\b', I)
_SP_TABLES = re.compile(r'^(?:EXEC(?:UTE)? )?(?:dbo ?\. ?)?sp_tables\b(.*)$', I)


@dataclass
class Rows:
    """A result set; `procedure` when a stored procedure returned it (its answer then ends with
    a return status)."""
    columns: list
    rows: list
    procedure: bool = False


def sysname(name):
    return Column(name, 'nvarchar', 128)


def unquote(text):
    return text.replace("''", "'")


def _names_in(clause):
    return [unquote(n).lower() for n in re.findall(_LITERAL, clause)]


def _filter(names, rest, column):
    """Keeps the names that the query's "column NOT IN (...)", "IN (...)" or "= '...'" allows;
    ORDER BY sorts them ignoring case, as the server's collation does."""
    excluded = re.search(column + r' NOT IN ?\(([^)]*)\)', rest, I)
    included = re.search(column + r' IN ?\(([^)]*)\)', rest, I)
    equal = re.search(column + r' ?= ?' + _LITERAL, rest, I)
    if excluded:
        names = [n for n in names if n.lower() not in _names_in(excluded.group(1))]
    elif included:
        names = [n for n in names if n.lower() in _names_in(included.group(1))]
    if equal:
        names = [n for n in names if n.lower() == unquote(equal.group(1)).lower()]
    if re.search(r'\bORDER BY\b', rest, I):
        names = sorted(names, key=str.lower)
    return names


class Catalogue:
    def __init__(self, db, database):
        self.db, self.database = db, database

    def objects(self, kind):
        """The SQLite file's tables ('table') or views ('view'), without SQLite's own."""
        return [r[0] for r in self.db.execute(
            "SELECT name FROM sqlite_master WHERE type = ? AND name NOT LIKE 'sqlite\\_%' "
            "ESCAPE '\\' ORDER BY name", (kind,))]

    def answer(self, flat):
        """The rows of a catalogue query (`flat`: its text with runs of blanks made one), or
        None when it is not one."""
        m = _DATABASES.match(flat)
        if m:
            names = [self.database] + [d for d in SYSTEM_DATABASES
                                       if d.lower() != self.database.lower()]
            return Rows([sysname('name')], [(n,) for n in _filter(names, m.group(1), 'name')])
        m = _TABLES.match(flat)
        if m:
            kind = 'view' if re.search(r"TABLE_TYPE ?= ?'VIEW'", m.group(1), I) else 'table'
            names = _filter(self.objects(kind), m.group(1), 'TABLE_NAME')
            return Rows([sysname('TABLE_NAME')], [(n,) for n in names])
        m = _COLUMNS.match(flat)
        if m:
            info = self.db.execute('SELECT name, type FROM pragma_table_info(?)',
                                   (unquote(m.group(1)),)).fetchall()
            return Rows([sysname('COLUMN_NAME'), Column('', 'nvarchar', 150)],
                        [(name, server_type_text(declared)) for name, declared in info])
        if _BOUND.match(flat):
            return Rows([sysname('')], [])  # SQLite has no schema-bound views or functions
        m = _SP_TABLES.match(flat)
        if m:
            params = {k.lower(): unquote(v) for k, v in
                      re.findall(r'@(\w+) ?= ?' + _LITERAL, m.group(1))}
            return self.sp_tables(params)
        return None

    def sp_tables(self, params):
        """sp_tables' five columns for the tables and views its parameters pick (LIKE patterns
        for the name, owner and qualifier; a list of quoted types)."""
        def like(pattern, value):
            if pattern is None or pattern == '':
                return True
            rx = ''.join('.*' if c == '%' else '.' if c == '_' else re.escape(c) for c in pattern)
            return re.fullmatch(rx, value, re.IGNORECASE | re.DOTALL) is not None

        types = (params.get('table_type') or "'TABLE','VIEW'").upper()
        rows = []
        if like(params.get('table_owner'), 'dbo') and \
                like(params.get('table_qualifier'), self.database):
            for kind, label in (('table', 'TABLE'), ('view', 'VIEW')):
                if "'%s'" % label in types or label in types.split(','):
                    rows += [(self.database, 'dbo', n, label, None) for n in self.objects(kind)
                             if like(params.get('table_name'), n)]
        rows.sort(key=lambda r: (r[3], r[2].lower()))
        columns = [sysname('TABLE_QUALIFIER'), sysname('TABLE_OWNER'), sysname('TABLE_NAME'),
                   Column('TABLE_TYPE', 'varchar', 32), Column('REMARKS', 'varchar', 254)]
        return Rows(columns, rows, procedure=True)
