#include "reportspec/ui/frm_report_specs.h"

#include "platform/messages.h"
#include "platform/regional.h"
#include "reportspec/reports_common.h"
#include "runstate/runstate.h"
#include "tables/common.h"
#include "util/ui/forms.h"
#include "util/ui/keyboard.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDateEdit>
#include <QFontMetrics>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStatusBar>
#include <QVBoxLayout>
#include <algorithm>
#include <optional>

namespace vx {

namespace {

constexpr int kKeyF10 = 121;
constexpr int kKeyC = 67;
constexpr int kKeyX = 88;

// The company record's date style: "E" is day/month/year.
bool europeanDates() {
    return tables::common().USEurope.str() == QLatin1String("E");
}

// A date text as the pickers take it: in the machine's date order, or, when that gives no date
// ("25-12-2024" where the month comes first), with day and month the other way round. The
// dialog itself saves its dates in the company's order, which need not be the machine's.
std::optional<QDate> pickerDate(const QString& text) {
    if (auto date = parseDate(text))
        return date;
    static const QRegularExpression parts(
        QStringLiteral("^\\s*(\\d{1,2})(\\D+)(\\d{1,2})(\\D.*)$"));
    const auto m = parts.match(text);
    if (!m.hasMatch())
        return std::nullopt;
    return parseDate(m.captured(3) + m.captured(2) + m.captured(1) + m.captured(4));
}

QLabel* makeLabel(QWidget* parent, int index, const QString& text) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QStringLiteral("lblReport_%1").arg(index));
    return label;
}

QLineEdit* makeBox(QWidget* parent, int index, int minimumWidth) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(QStringLiteral("txtReport_%1").arg(index));
    box->setMinimumWidth(minimumWidth);
    return box;
}

QDateEdit* makePicker(QWidget* parent, const QString& name) {
    auto* picker = new QDateEdit(QDate::currentDate(), parent);
    picker->setObjectName(name);
    picker->setCalendarPopup(true);
    picker->setDisplayFormat(shortDatePattern());
    return picker;
}

QPushButton* makeButton(QWidget* parent, const QString& name, const QString& text) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    button->setMinimumWidth(100);
    return button;
}

} // namespace

QString gsReportSpecsHelp(int16_t reportDates) {
    struct Entry {
        const char* label;
        const char* explanation;
        int dates; // shown only for this giReportDates; 0: always
    };
    static constexpr Entry entries[] = {
        {"Company", "Comes from the JOV Report Manager. It cannot be changed here.", 0},
        {"Title", "The title prints just under the Company on each page of the report.", 0},
        {"Subtitle", "The subtitle prints just under the Title on each page of the report.", 0},
        {"Starting Date",
         "Include data on the report on or after this date. The defaul is the last date entered.",
         2},
        {"Ending Date",
         "Include data on the report on or before this date.  The defaul is the current date.", 2},
        {"Date", "Include data on the report starting with this date.", 1},
        {"Change Button", "Enables the report Title fields so you can make changes.", 0},
        {"OK Button", "Saves any changes to the report specification and starts the report.", 0},
        {"Exit Button", "Exit the report and returns to the JOV Report Manager.", 0},
    };
    QStringList blocks{QStringLiteral("Report Version: ") + productVersion()};
    for (const Entry& entry : entries)
        if (entry.dates == 0 || entry.dates == reportDates)
            blocks << QLatin1String(entry.label) + u'\r' + QLatin1String(entry.explanation);
    return blocks.join(QStringLiteral("\r\r"));
}

frmReportSpecs::frmReportSpecs(ReportSpecsHooks hooks, QWidget* parent)
    : QWidget(parent, Qt::Window), hooks_(std::move(hooks)) {
    setObjectName(QStringLiteral("frmReportSpecs"));
    buildControls();
    Form_Load();
    qApp->installEventFilter(this);
}

frmReportSpecs::~frmReportSpecs() {
    qApp->removeEventFilter(this);
}

void frmReportSpecs::buildControls() {
    setWindowTitle(QStringLiteral("Report Specifications"));
    lblReport[0] = makeLabel(this, 0, QStringLiteral("Company"));
    lblReport[1] = makeLabel(this, 1, QStringLiteral("Title"));
    lblReport[2] = makeLabel(this, 2, QStringLiteral("Sub Title"));
    lblReport[3] = makeLabel(this, 3, QStringLiteral("Starting Date"));
    lblReport[4] = makeLabel(this, 4, QStringLiteral("Ending Date"));
    lblReport[5] = makeLabel(this, 5, QString());
    lblReport[6] = makeLabel(this, 6, QString());
    for (int i : {0, 1, 2})
        txtReport[i] = makeBox(this, i, 380);
    for (int i : {5, 6})
        txtReport[i] = makeBox(this, i, 240);
    dtpStartDate = makePicker(this, QStringLiteral("dtpStartDate"));
    dtpEndDate = makePicker(this, QStringLiteral("dtpEndDate"));
    Option1[0] = new QRadioButton(QStringLiteral("Select AR Code Range"), this);
    Option1[1] = new QRadioButton(QStringLiteral("Select Last Name  Range"), this);
    for (int i = 0; i < 2; ++i) {
        Option1[i]->setObjectName(QStringLiteral("Option1_%1").arg(i));
        connect(Option1[i], &QRadioButton::toggled, this, [this, i](bool set) {
            if (set)
                Option1_Click(i);
        });
    }

    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(12);
    for (int i : {0, 1, 2}) {
        grid->addWidget(lblReport[i], i, 0);
        grid->addWidget(txtReport[i], i, 1, 1, 2);
    }
    grid->addWidget(lblReport[3], 3, 0);
    grid->addWidget(dtpStartDate, 3, 1);
    grid->addWidget(lblReport[4], 4, 0);
    grid->addWidget(dtpEndDate, 4, 1);
    auto* options = new QHBoxLayout;
    options->addWidget(Option1[0]);
    options->addSpacing(16);
    options->addWidget(Option1[1]);
    options->addStretch(1);
    grid->addLayout(options, 5, 1, 1, 2);
    for (int i : {5, 6}) {
        grid->addWidget(lblReport[i], i + 1, 0);
        grid->addWidget(txtReport[i], i + 1, 1, 1, 2);
    }
    grid->setColumnStretch(2, 1);
    grid->setRowMinimumHeight(5, Option1[0]->sizeHint().height() + 10);

    cmdHelp = makeButton(this, QStringLiteral("cmdHelp"), QStringLiteral("F1 Help"));
    cmdChange = makeButton(this, QStringLiteral("cmdChange"), QStringLiteral("&Change"));
    cmdOkCancel[0] =
        makeButton(this, QStringLiteral("cmdOkCancel_0"), QStringLiteral("F10 Accept"));
    cmdOkCancel[1] = makeButton(this, QStringLiteral("cmdOkCancel_1"), QStringLiteral("E&xit"));
    connect(cmdHelp, &QPushButton::clicked, this, &frmReportSpecs::cmdHelp_Click);
    connect(cmdChange, &QPushButton::clicked, this, &frmReportSpecs::cmdChange_Click);
    for (int i = 0; i < 2; ++i)
        connect(cmdOkCancel[i], &QPushButton::clicked, this, [this, i] { cmdOkCancel_Click(i); });
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdHelp);
    buttons->addWidget(cmdChange);
    buttons->addStretch(1);
    buttons->addWidget(cmdOkCancel[0]);
    buttons->addWidget(cmdOkCancel[1]);

    sbrReportStatus = new QStatusBar(this);
    sbrReportStatus->setObjectName(QStringLiteral("sbrReportStatus"));
    sbrReportStatus->setSizeGripEnabled(false);
    statusPanel_ = new QLabel(sbrReportStatus);
    statusPanel_->setObjectName(QStringLiteral("sbrReportStatus_Panel1"));
    statusPanel_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    statusPanel_->setMinimumHeight(statusPanel_->sizeHint().height() + 4);
    sbrReportStatus->addWidget(statusPanel_, 1);

    auto* body = new QVBoxLayout;
    body->setContentsMargins(12, 12, 12, 8);
    body->setSpacing(14);
    body->addLayout(grid);
    body->addLayout(buttons);
    auto* main = new QVBoxLayout(this);
    main->setContentsMargins(0, 0, 0, 0);
    main->setSpacing(0);
    main->addLayout(body);
    main->addWidget(sbrReportStatus);
    main->setSizeConstraint(QLayout::SetFixedSize);

    // As the window is designed: the company and the title fields read-only until Change, no
    // extra field until an option chooses its meaning.
    for (int i : {0, 1, 2})
        txtReport[i]->setEnabled(false);
    for (int i : {5, 6}) {
        txtReport[i]->setVisible(false);
        lblReport[i]->setVisible(false);
    }
    gpSetFormFonts(this);
    // The label column is as wide as the longest label an option can give the extra field, so
    // the window keeps its width when one is chosen.
    const QFontMetrics metrics(lblReport[5]->font());
    grid->setColumnMinimumWidth(
        0, std::max(metrics.horizontalAdvance(QStringLiteral("Enter AR Code Range")),
                    metrics.horizontalAdvance(QStringLiteral("Enter Last Name Range"))));
}

void frmReportSpecs::Form_Load() {
    if (europeanDates())
        for (QDateEdit* picker : {dtpStartDate, dtpEndDate})
            picker->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));

    const ReportSpec& spec = reportSpec();
    const RunState& run = runState();
    if (gfbReadReportSpec(kReportSpecFileName)) {
        txtReport[6]->setVisible(false);
        lblReport[6]->setVisible(false);
        // The company name always comes from the company information; without one the box
        // stays empty.
        if (!run.gsCompanyName.isEmpty())
            txtReport[0]->setText(spec.gsReportCompany);
        txtReport[0]->setEnabled(false);
        txtReport[1]->setText(spec.gsReportTitle);
        txtReport[1]->setEnabled(false);
        if (!spec.gsReportSubtitle.isEmpty()) {
            txtReport[2]->setText(spec.gsReportSubtitle);
            txtReport[2]->setEnabled(false);
        } else {
            txtReport[2]->setVisible(false);
            lblReport[2]->setVisible(false);
        }
        if (const auto start = pickerDate(run.gsStartDate))
            dtpStartDate->setDate(*start);
        if (const auto end = pickerDate(run.gsEndDate))
            dtpEndDate->setDate(*end);
    }
    setWindowTitle(spec.gsReportTitle);
}

QString frmReportSpecs::statusText() const {
    return statusPanel_->text();
}

void frmReportSpecs::cmdChange_Click() {
    txtReport[1]->setEnabled(true);
    txtReport[2]->setEnabled(true);
    txtReport[1]->setFocus();
}

void frmReportSpecs::Option1_Click(int index) {
    txtReport[5]->setVisible(true);
    lblReport[5]->setVisible(true);
    lblReport[5]->setText(index == 0 ? QStringLiteral("Enter AR Code Range")
                                     : QStringLiteral("Enter Last Name Range"));
    txtReport[5]->setFocus();
}

void frmReportSpecs::cmdOkCancel_Click(int index) {
    if (index != 0) {
        close();
        return;
    }
    // A report being built pumps window events; Accept again then would start a second document
    // inside the first.
    if (running_)
        return;
    statusPanel_->setText(QStringLiteral("Status: Setting Up Report"));
    statusPanel_->repaint();

    ReportSpec& spec = reportSpec();
    RunState& run = runState();
    spec.gsReportCompany = txtReport[0]->text();
    spec.gsReportTitle = txtReport[1]->text();
    spec.gsReportSubtitle = txtReport[2]->text();
    const QString pattern =
        europeanDates() ? QStringLiteral("dd-MM-yyyy") : QStringLiteral("MM-dd-yyyy");
    run.gsStartDate = dtpStartDate->date().toString(pattern);
    run.gsEndDate = dtpEndDate->date().toString(pattern);
    spec.gsSpec3 = txtReport[5]->text();
    spec.gsSpec4 = txtReport[6]->text();
    spec.gsSpec3Label = lblReport[5]->text();
    spec.gsSpec4Label = lblReport[6]->text();

    if (!gfbWriteReportSpec(kReportSpecFileName) || !hooks_.runReport)
        return;
    running_ = true;
    hooks_.runReport();
    running_ = false;
}

void frmReportSpecs::cmdHelp_Click() {
    MsgBox(gsReportSpecsHelp(reportSpec().giReportDates), MsgButtons::Ok, MsgIcon::Information,
           QStringLiteral("JOV Report Help"));
}

void frmReportSpecs::closeEvent(QCloseEvent* event) {
    QWidget::closeEvent(event);
    if (ended_)
        return;
    ended_ = true;
    if (hooks_.endProgram)
        hooks_.endProgram();
}

bool frmReportSpecs::Form_KeyDown(int keyCode, const QObject* target) {
    switch (keyCode) {
    case kKeyF1:
        cmdHelp_Click();
        return true;
    case kKeyF10:
        cmdOkCancel_Click(0);
        return true;
    case kKeyX:
    case kKeyC: {
        // In a text box the user can edit, the letter is typed (with or without shift or
        // control: copying with Ctrl+C stays the box's too).
        const auto* box = qobject_cast<const QLineEdit*>(target);
        if (box && std::find(txtReport.begin(), txtReport.end(), box) != txtReport.end() &&
            box->isEnabled() && !box->isReadOnly())
            return false;
        if (keyCode == kKeyX)
            cmdOkCancel_Click(1);
        else
            cmdChange_Click();
        return true;
    }
    default:
        return false;
    }
}

bool frmReportSpecs::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress)
        return false;
    const auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || widget->window() != this || !isVisible())
        return false;
    return Form_KeyDown(vbKeyCode(static_cast<QKeyEvent*>(event)), watched);
}

} // namespace vx
