#pragma once
// clsINI_Services: one profile (INI) file of the suite, read and written with the profile
// semantics every program of the suite shares. The program keeps one shared instance, gIni(),
// and points it at whichever file it needs (company information, JOV.INI).

#include <QList>
#include <QString>
#include <QStringList>
#include <array>
#include <functional>
#include <optional>

namespace vx {

class clsINI_Services {
  public:
    // Size of the one read buffer: values and lists longer than this are cut.
    static constexpr int kBufferSize = 255;

    // Binds the object to `path` (a path of this machine or written the Windows way) after
    // checking that the file exists and can be read and written; a failed check leaves File()
    // empty and FileOpen() false.
    void File_Name(const QString& path);
    const QString& File() const { return file_; }
    bool FileOpen() const { return fileOpen_; }

    // The operations below do nothing and give false or an empty list when the file is not open;
    // getvalue reads regardless (and then gives the default).
    bool WriteData(const QString& section, const QString& key, const QString& value);
    // No key: deletes the whole section; no value: deletes the key.
    bool DeleteData(const QString& section, const std::optional<QString>& key = std::nullopt,
                    const std::optional<QString>& value = std::nullopt);
    // Name lists: element 0 is the empty text when there are no names.
    QStringList GetAllSections();
    QStringList GetAllKeysInSection(const QString& section);
    // Row i: key i and its value.
    QList<std::array<QString, 2>> GetAllKeysValuesInSection(const QString& section);
    QString getvalue(const QString& section, const QString& key, const QString& def = {});
    // Searches compare names and values ignoring case. A result list holds the empty text alone
    // when nothing matched.
    QStringList FindKeyInFile(const QString& key);
    bool FindKeyInSection(const QString& section, const QString& key);
    QStringList FindValueInSection(const QString& section, const QString& value);
    // Every place holding the value, as "section|key".
    QStringList FindValueInFile(const QString& value);
    bool RenameSection(const QString& section, const QString& newSection);
    bool RenameKey(const QString& section, const QString& key, const QString& newKey);

  private:
    QString Checkexist(const QString& path);
    QStringList nameList(const std::optional<QString>& section);
    QString readValue(const QString& section, const QString& key, const QString& def,
                      QString& buffer);

    QString file_;
    bool fileOpen_ = false;
};

// The text of the "INI Class" error box: "Error Number: " + number + line break + text1, and
// when text2 is not empty two more line breaks and text2 (line breaks are carriage returns).
QString gsIniErrorText(int number, const QString& text1, const QString& text2);
// Shows that box (critical icon, OK button, title "INI Class").
void ShowIniError(int number, const QString& text1, const QString& text2);

// The program's shared INI object.
clsINI_Services& gIni();
void resetIni();

namespace detail {
// A run-time error of a profile access, with the number and description the error box shows.
struct IniRuntimeError {
    int number;
    QString description;
};
// For tests: called before every profile access of clsINI_Services; it may throw
// IniRuntimeError to make that access fail. An empty function removes the hook.
void setIniFaultHook(std::function<void()> hook);
} // namespace detail

} // namespace vx
