#include "app/report/report_common.h"

#include "db/codecs.h"
#include "db/server_watch.h"
#include "platform/messages.h"
#include "platform/regional.h"

#include <cmath>

namespace vx::report {

bool gfbServerLost() {
    return !db::serverLossState().gsServerLoss.isEmpty();
}

void gpSayServerLost() {
    db::ServerLossState& loss = db::serverLossState();
    if (loss.gsServerLoss.isEmpty() || loss.gbLossSaid)
        return;
    loss.gbLossSaid = true;
    MsgBox(loss.gsServerLoss + QStringLiteral("\r\rThe report was not finished."), MsgButtons::Ok,
           MsgIcon::Critical, QStringLiteral("JOV MSDE"));
}

double gdLeadingNumber(const QString& text) {
    QString digits;
    bool point = false;
    bool exponent = false;
    for (const QChar c : text) {
        if (c == u' ' || c == u'\t')
            continue; // the suite's number reading skips blanks anywhere
        const QChar prev = digits.isEmpty() ? QChar() : digits.back();
        if (c.isDigit() && c.unicode() < 128) {
            digits += c;
        } else if ((c == u'+' || c == u'-') && (digits.isEmpty() || prev == u'e' || prev == u'E')) {
            digits += c;
        } else if (c == u'.' && !point && !exponent) {
            point = true;
            digits += c;
        } else if ((c == u'e' || c == u'E') && !exponent && !digits.isEmpty() && prev.isDigit()) {
            exponent = true;
            digits += c;
        } else {
            break;
        }
    }
    // A trailing sign or exponent letter is no part of the number.
    while (!digits.isEmpty() && !digits.back().isDigit() && digits.back() != u'.')
        digits.chop(1);
    bool ok = false;
    const double value = digits.toDouble(&ok);
    return ok ? value : 0.0;
}

QString gsMoney(std::int64_t amount) {
    return formatNumber(static_cast<double>(amount) / 10000.0, QStringLiteral("#,###.00"));
}

QString gsDateLiteral(const QString& value) {
    QString text = db::gsDB_SQLText(value, false, 0);
    // The quoting rule keeps a text that already holds a doubled quote as it is; inside a date
    // no quote has a meaning, so every one left becomes a blank.
    text.replace(u'\'', u' ');
    return text;
}

} // namespace vx::report
