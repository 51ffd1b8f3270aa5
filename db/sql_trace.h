#pragma once
// A trace of the statements the record manager sends to its database: with VANTREX_SQL_TRACE
// naming a file, every statement a connection executes or opens a recordset on is appended to
// it, one per line, exactly as built (before any rewriting for the engine). For a store's
// administrator who wants to see what the program asks of the server; it never holds a
// password (statements carry none).

#include "db/engine.h"

namespace vx::db {

// `engine` itself when no trace is asked for, else an engine whose connections write the trace.
std::unique_ptr<Engine> tracedWhenAsked(std::unique_ptr<Engine> engine);

// One statement as a trace line: line breaks written as "\n", backslashes doubled.
inline QString traceLine(const QString& sql) {
    QString line = sql;
    line.replace(u'\\', QLatin1String("\\\\"));
    line.replace(QLatin1String("\r\n"), QLatin1String("\\n"));
    line.replace(u'\n', QLatin1String("\\n"));
    line.replace(u'\r', QLatin1String("\\n"));
    return line;
}

} // namespace vx::db
