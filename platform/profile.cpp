#include "platform/profile.h"

#include "platform/atomic_file.h"
#include "platform/windows1252.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <unistd.h>

namespace vx::profile {

namespace {

// One line of a profile file. `raw` is the line as it stands in the file, without its line end,
// so that lines a write does not touch are written back byte for byte.
struct Line {
    enum Kind { Other, Section, Entry };
    QByteArray raw;
    Kind kind = Other;
    QString name;  // section or key name, trimmed
    QString value; // entry value, trimmed, quotes removed
};

struct Document {
    QList<Line> lines;
    QByteArray eol = "\r\n";
    bool ansi = false; // the file is not UTF-8: its text is Windows-1252, and stays so
};

QString unquote(const QString& v) {
    if (v.size() >= 2 && (v.front() == u'"' || v.front() == u'\'') && v.back() == v.front())
        return v.mid(1, v.size() - 2);
    return v;
}

Line parseLine(const QByteArray& raw, bool ansi) {
    Line line;
    line.raw = raw;
    const QString text = ansi ? fromWindows1252(raw) : QString::fromUtf8(raw);
    const QString t = text.trimmed();
    if (t.startsWith(u'[')) {
        line.kind = Line::Section;
        const qsizetype close = t.indexOf(u']');
        line.name = (close < 0 ? t.mid(1) : t.mid(1, close - 1)).trimmed();
    } else if (!t.startsWith(u';')) {
        const qsizetype eq = text.indexOf(u'=');
        if (eq >= 0) {
            line.kind = Line::Entry;
            line.name = text.left(eq).trimmed();
            line.value = unquote(text.mid(eq + 1).trimmed());
        }
    }
    return line;
}

bool load(const QString& file, Document& doc, bool* exists = nullptr) {
    QFile f(file);
    const QFileInfo info(file);
    if (exists)
        *exists = info.exists();
    if (!info.exists() || info.isDir())
        return false;
    if (!f.open(QIODevice::ReadOnly))
        return false;
    const QByteArray data = f.readAll();
    doc.ansi = !isUtf8(data);
    const qsizetype firstLf = data.indexOf('\n');
    if (firstLf >= 0)
        doc.eol = (firstLf > 0 && data.at(firstLf - 1) == '\r') ? "\r\n" : "\n";
    qsizetype start = 0;
    while (start < data.size()) {
        qsizetype end = data.indexOf('\n', start);
        const qsizetype next = end < 0 ? data.size() : end + 1;
        if (end < 0)
            end = data.size();
        QByteArray raw = data.mid(start, end - start);
        if (raw.endsWith('\r'))
            raw.chop(1);
        doc.lines.append(parseLine(raw, doc.ansi));
        start = next;
    }
    return true;
}

bool same(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// Index of the first header of `section`, or -1.
qsizetype findSection(const Document& doc, const QString& section) {
    for (qsizetype i = 0; i < doc.lines.size(); ++i)
        if (doc.lines[i].kind == Line::Section && same(doc.lines[i].name, section))
            return i;
    return -1;
}

// One past the last line of the section whose header is at `header`.
qsizetype sectionEnd(const Document& doc, qsizetype header) {
    qsizetype i = header + 1;
    while (i < doc.lines.size() && doc.lines[i].kind != Line::Section)
        ++i;
    return i;
}

qsizetype findKey(const Document& doc, qsizetype header, const QString& key) {
    const qsizetype end = sectionEnd(doc, header);
    for (qsizetype i = header + 1; i < end; ++i)
        if (doc.lines[i].kind == Line::Entry && same(doc.lines[i].name, key))
            return i;
    return -1;
}

int copyText(const QString& text, QString& buffer, int size) {
    buffer = QString(qMax(size, 0), QChar(0));
    if (size <= 0)
        return 0;
    const int n = static_cast<int>(qMin<qsizetype>(text.size(), size - 1));
    for (int i = 0; i < n; ++i)
        buffer[i] = text[i];
    return n;
}

int copyList(const QStringList& names, QString& buffer, int size) {
    QString joined;
    for (const QString& n : names) {
        joined += n;
        joined += QChar(0);
    }
    buffer = QString(qMax(size, 0), QChar(0));
    if (size <= 0)
        return 0;
    if (joined.size() + 1 <= size) {
        for (qsizetype i = 0; i < joined.size(); ++i)
            buffer[i] = joined[i];
        return static_cast<int>(joined.size());
    }
    if (size < 2)
        return 0;
    for (int i = 0; i < size - 2; ++i)
        buffer[i] = joined[i];
    return size - 2;
}

QString trimTrailingBlanks(QString s) {
    while (!s.isEmpty() && s.back() == u' ')
        s.chop(1);
    return s;
}

} // namespace

int getString(const OptText& section, const OptText& key, const QString& def, QString& buffer,
              int size, const QString& file) {
    Document doc;
    load(file, doc);
    if (!section) {
        QStringList names;
        for (const Line& l : doc.lines)
            if (l.kind == Line::Section)
                names << l.name;
        return copyList(names, buffer, size);
    }
    const qsizetype header = findSection(doc, *section);
    if (!key) {
        QStringList names;
        if (header >= 0) {
            const qsizetype end = sectionEnd(doc, header);
            for (qsizetype i = header + 1; i < end; ++i)
                if (doc.lines[i].kind == Line::Entry)
                    names << doc.lines[i].name;
        }
        return copyList(names, buffer, size);
    }
    const qsizetype at = header >= 0 ? findKey(doc, header, *key) : -1;
    return copyText(at >= 0 ? doc.lines[at].value : trimTrailingBlanks(def), buffer, size);
}

std::optional<QString> readValue(const QString& file, const QString& section, const QString& key) {
    Document doc;
    if (!load(file, doc))
        return std::nullopt;
    const qsizetype header = findSection(doc, section);
    const qsizetype at = header >= 0 ? findKey(doc, header, key) : -1;
    if (at < 0)
        return std::nullopt;
    return doc.lines[at].value;
}

bool writeString(const OptText& section, const OptText& key, const OptText& value,
                 const QString& file, mode_t newFileMode, bool forceMode) {
    if (!section)
        return true; // a flush request: nothing is cached
    // A line break would add lines (even sections) to the file.
    for (const OptText& text : {section, key, value})
        if (text && (text->contains(u'\n') || text->contains(u'\r')))
            return false;
    Document doc;
    bool exists = false;
    const bool loaded = load(file, doc, &exists);
    if (exists && !loaded)
        return false;
    const QFileInfo info(file);
    const auto line = [&doc](const QString& text) {
        return parseLine(doc.ansi ? toWindows1252(text) : text.toUtf8(), doc.ansi);
    };

    const qsizetype header = findSection(doc, *section);
    bool changed = false;
    if (!key) {
        if (!exists)
            return false;
        if (header >= 0) {
            doc.lines.remove(header, sectionEnd(doc, header) - header);
            changed = true;
        }
    } else if (!value) {
        if (!exists)
            return false;
        const qsizetype at = header >= 0 ? findKey(doc, header, *key) : -1;
        if (at >= 0) {
            doc.lines.remove(at);
            changed = true;
        }
    } else {
        if (!exists && (!info.absoluteDir().exists()))
            return false;
        const Line entry = line(*key + u'=' + *value);
        if (header < 0) {
            doc.lines.append(line(u'[' + *section + u']'));
            doc.lines.append(entry);
        } else if (const qsizetype at = findKey(doc, header, *key); at >= 0) {
            doc.lines[at] = entry;
        } else {
            // After the section's last non-blank line, so blank lines before the next section stay.
            qsizetype pos = sectionEnd(doc, header);
            while (pos > header + 1 && doc.lines[pos - 1].raw.trimmed().isEmpty())
                --pos;
            doc.lines.insert(pos, entry);
        }
        changed = true;
    }
    if (!changed && !(forceMode && exists))
        return true; // nothing to write: a read-only file is fine
    if (exists && ::access(QFile::encodeName(file).constData(), W_OK) != 0)
        return false;

    QByteArray data;
    for (const Line& l : doc.lines) {
        data += l.raw;
        data += doc.eol;
    }
    return writeFileAtomically(file, data, newFileMode, exists && !forceMode);
}

} // namespace vx::profile
