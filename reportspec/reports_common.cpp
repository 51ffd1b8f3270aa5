#include "reportspec/reports_common.h"

#include "platform/messages.h"
#include "platform/paths.h"
#include "platform/regional.h"
#include "platform/textfile.h"
#include "runstate/runstate.h"
#include "util/text.h"

#include <QDate>
#include <algorithm>
#include <cmath>
#include <limits>

namespace vx {

namespace {

const QString kShortDate = QStringLiteral("Short Date");
const QString kKeyPattern = QStringLiteral("yyyymmdd");

// The numeric value of a text as the suite's number reader sees it: leading blanks skipped, an
// optional sign, digits and an optional decimal fraction with "." in any locale; the rest of
// the text is ignored and a text without digits is 0. The value is taken to the nearest whole
// number, a half to the even one, and kept within 16 bits.
int16_t leadingNumber(const QString& text) {
    qsizetype i = 0;
    while (i < text.size() && (text[i] == u' ' || text[i] == u'\t'))
        ++i;
    const qsizetype start = i;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+'))
        ++i;
    const qsizetype digitsStart = i;
    while (i < text.size() && text[i].isDigit() && text[i].unicode() < 128)
        ++i;
    bool digits = i > digitsStart;
    if (i < text.size() && text[i] == u'.') {
        const qsizetype fractionStart = ++i;
        while (i < text.size() && text[i].isDigit() && text[i].unicode() < 128)
            ++i;
        digits = digits || i > fractionStart;
    }
    if (!digits)
        return 0;
    QString number = text.mid(start, i - start);
    if (number.endsWith(u'.'))
        number.chop(1);
    if (number.startsWith(u'+'))
        number.remove(0, 1);
    const double value = std::nearbyint(number.toDouble()); // ties to even by default
    constexpr double lowest = std::numeric_limits<int16_t>::min();
    constexpr double highest = std::numeric_limits<int16_t>::max();
    return static_cast<int16_t>(std::clamp(value, lowest, highest));
}

// A date text that counts as not given: empty or at most three blanks, by character codes.
bool blankish(const QString& date) {
    return date <= QLatin1String("   ");
}

QString shortDate(const QDate& date) {
    return formatDate(date, kShortDate);
}

} // namespace

ReportSpec& reportSpec() {
    static ReportSpec spec;
    return spec;
}

void resetReportSpec() {
    reportSpec() = ReportSpec{};
}

bool gfbYesNo(const QString& text) {
    return text == QLatin1String("Y");
}

QString gfsYesNo(bool flag) {
    return flag ? QStringLiteral("Y") : QStringLiteral("N");
}

bool gfbReadReportSpec(const QString& fileName) {
    const QString path = joinPath(programDir(), fileName);
    if (!fileExists(path))
        return false;
    const std::optional<QString> firstLine = readFirstLine(path);
    if (!firstLine)
        return false; // unreadable: treated like a missing file, nothing changes
    const QString& line = *firstLine;
    const auto field = [&line](const char* tag) {
        return gsFieldValue(line, QLatin1String(tag), QStringLiteral("["));
    };

    ReportSpec& spec = reportSpec();
    RunState& run = runState();
    const QDate today = QDate::currentDate();
    spec.gsReportID = field("[ID]");
    // The heading always names the company of the company information, not the file's.
    spec.gsReportCompany = run.gsCompanyName;
    spec.gsReportTitle = field("[TITLE]");
    spec.gsReportSubtitle = field("[SUBTITLE]");
    // A start date given on the command line wins over the file's.
    if (blankish(run.gsStartDate))
        run.gsStartDate = field("[START]");
    // The end date is never taken from the file: a range left open ends yesterday.
    if (blankish(run.gsEndDate))
        run.gsEndDate = shortDate(today.addDays(-1));
    spec.giReportDates = leadingNumber(field("[DATES]"));
    spec.gsSpec3Label = field("[SPEC3LABEL]");
    spec.gsSpec3 = field("[SPEC3]");
    spec.gsSpec4Label = field("[SPEC4LABEL]");
    spec.gsSpec4 = field("[SPEC4]");
    spec.gbReportPriors = gfbYesNo(field("[PRIORS]"));
    spec.gsReportReg = field("[REG]");
    spec.gsReportFileName = field("[FILENAME]");

    if (run.gsStartDate.isEmpty())
        run.gsStartDate = shortDate(today.addDays(-1));
    if (run.gsEndDate.isEmpty())
        run.gsEndDate = shortDate(today);
    return true;
}

bool gfbWriteReportSpec(const QString& fileName) {
    const ReportSpec& spec = reportSpec();
    RunState& run = runState();
    const QString line =
        QStringLiteral("[ID]") + spec.gsReportID + QStringLiteral("[COMPANY]") +
        spec.gsReportCompany + QStringLiteral("[TITLE]") + spec.gsReportTitle +
        QStringLiteral("[SUBTITLE]") + spec.gsReportSubtitle + QStringLiteral("[START]") +
        run.gsStartDate + QStringLiteral("[END]") + run.gsEndDate + QStringLiteral("[DATES]") +
        QString::number(spec.giReportDates) + QStringLiteral("[SPEC3LABEL]") + spec.gsSpec3Label +
        QStringLiteral("[SPEC3]") + spec.gsSpec3 + QStringLiteral("[SPEC4LABEL]") +
        spec.gsSpec4Label + QStringLiteral("[SPEC4]") + spec.gsSpec4 + QStringLiteral("[PRIORS]") +
        gfsYesNo(spec.gbReportPriors) + QStringLiteral("[REG]") + spec.gsReportReg +
        QStringLiteral("[FILENAME]") + spec.gsReportFileName;

    // The report reads the range through these keys, so they follow the dates even when the file
    // cannot be written.
    run.gsStartKey = formatDateText(run.gsStartDate, kKeyPattern);
    run.gsEndKey = formatDateText(run.gsEndDate, kKeyPattern);

    const QString path = joinPath(programDir(), fileName);
    QString error;
    if (writeLines(path, {line}, &error))
        return true;
    MsgBox(QStringLiteral("The report specifications could not be saved in ") + path +
               QStringLiteral("\r") + error,
           MsgButtons::Ok, MsgIcon::Critical);
    return false;
}

} // namespace vx
