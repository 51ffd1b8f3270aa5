#pragma once
// frmReportSpecs, the report specifications dialog: the user checks the report's company, title
// and subtitle, chooses its date range and, when wanted, an extra selection, then accepts. Accept
// saves the specification file and runs the report; the dialog stays open for another run.
// Exit, or closing the window by any means, ends the program. The window is not modal.
//
// Keys reach the window before its controls: F1 Help, F10 Accept, X Exit and C Change. A letter
// typed into a text box the user can edit is the box's, so "X" and "C" act as commands only where
// they would not be typed.

#include <QWidget>
#include <array>
#include <cstdint>
#include <functional>

class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QStatusBar;

namespace vx {

// What the dialog leaves to the program that shows it.
struct ReportSpecsHooks {
    std::function<void()> runReport;  // after Accept has saved the specification file
    std::function<void()> endProgram; // when the window closes; called once
};

// The help box's text for the given date entries (giReportDates: 2 start and end, 1 one date).
QString gsReportSpecsHelp(int16_t reportDates);

class frmReportSpecs : public QWidget {
    Q_OBJECT
  public:
    // Loads the dialog from the specification file "RptVantrex.RSF" in the program folder, the
    // run state's dates and company name, and the company record's date style.
    explicit frmReportSpecs(ReportSpecsHooks hooks, QWidget* parent = nullptr);
    ~frmReportSpecs() override;

    void cmdOkCancel_Click(int index); // 0 Accept, 1 Exit
    void cmdChange_Click();
    void cmdHelp_Click();
    void Option1_Click(int index);

    // The text of the status bar's first panel.
    QString statusText() const;

    // The controls, indexed as the suite numbers them: txtReport 0 company, 1 title, 2 subtitle,
    // 5 and 6 the extra fields (3 and 4 are the date pickers and have no text box); lblReport i
    // labels entry i.
    std::array<QLineEdit*, 7> txtReport{};
    std::array<QLabel*, 7> lblReport{};
    QDateEdit* dtpStartDate = nullptr;
    QDateEdit* dtpEndDate = nullptr;
    std::array<QRadioButton*, 2> Option1{};
    QPushButton* cmdHelp = nullptr;
    QPushButton* cmdChange = nullptr;
    std::array<QPushButton*, 2> cmdOkCancel{};
    QStatusBar* sbrReportStatus = nullptr;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void buildControls();
    void Form_Load();
    bool Form_KeyDown(int keyCode, const QObject* target);

    ReportSpecsHooks hooks_;
    QLabel* statusPanel_ = nullptr; // the status bar's first panel
    bool running_ = false;          // a report run started by Accept is still going
    bool ended_ = false;            // endProgram has been called
};

} // namespace vx
