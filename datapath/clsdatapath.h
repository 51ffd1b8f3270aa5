#pragma once
// clsDataPath: the station number, station path and data path a station of the suite works with,
// kept per user in the settings store (section "DATABASE"). The program keeps one shared
// instance, gDataPath(), that every layer reads and the station and data path dialog edits.
// Setting a property stores the value only; nothing is checked until Validate.

#include <QString>
#include <QtGlobal>
#include <optional>
#include <utility>

namespace vx {

class clsDataPath {
  public:
    clsDataPath();

// One getter and one setter per property.
#define VX_DATAPATH_PROPERTY(Type, Name, member)                                                   \
    Type Name() const {                                                                            \
        return member;                                                                             \
    }                                                                                              \
    void set##Name(Type value) {                                                                   \
        member = value;                                                                            \
    }

    VX_DATAPATH_PROPERTY(const QString&, Title, title_)
    VX_DATAPATH_PROPERTY(const QString&, Station, station_)
    VX_DATAPATH_PROPERTY(const QString&, DataPath, dataPath_)
    VX_DATAPATH_PROPERTY(const QString&, TestPath, testPath_)
    VX_DATAPATH_PROPERTY(const QString&, AppLabel, appLabel_)
    VX_DATAPATH_PROPERTY(const QString&, DefaultStation, defaultStation_)
    VX_DATAPATH_PROPERTY(const QString&, DefaultDataPath, defaultDataPath_)
    VX_DATAPATH_PROPERTY(bool, Network, network_)
    VX_DATAPATH_PROPERTY(bool, DefaultNetwork, defaultNetwork_)
    VX_DATAPATH_PROPERTY(const QString&, StationPath, stationPath_)
    VX_DATAPATH_PROPERTY(qint16, MaxStations, maxStations_)
    VX_DATAPATH_PROPERTY(const QString&, DefaultStationPath, defaultStationPath_)
    VX_DATAPATH_PROPERTY(bool, StationPathEnabled, stationPathEnabled_)
    VX_DATAPATH_PROPERTY(bool, Cancelled, cancelled_)
    VX_DATAPATH_PROPERTY(const QString&, CheckFile, checkFile_)
    VX_DATAPATH_PROPERTY(const QString&, StationFile, stationFile_)
    VX_DATAPATH_PROPERTY(bool, SupressFileCheck, supressFileCheck_)
    VX_DATAPATH_PROPERTY(bool, CreatePath, createPath_)
    VX_DATAPATH_PROPERTY(bool, StationNumberEnabled, stationNumberEnabled_)
#undef VX_DATAPATH_PROPERTY

    // Read only: "Station <Station> of <MaxStations>", as of creation or the last Read / Save.
    const QString& StationLabel() const {
        return stationLabel_;
    }
    // Read only: the result of the last Validate.
    bool Valid() const {
        return valid_;
    }
    // Read only: "STATION", "STATIONPATH" or "DATAPATH": where the last Validate stopped or
    // what it corrected.
    const QString& FieldKey() const {
        return fieldKey_;
    }

    // Loads the stored settings of AppLabel (replaced first by a non-empty sAppLabel). Without
    // defaults every missing key reads as empty text and TESTDATA is read too; with defaults
    // the Default* properties stand in for missing keys and TestPath is left alone.
    void Read(bool bSuppressDefaults = false, const QString& sAppLabel = {});
    // Stores NETWORK, STATION, STATIONPATH, DATAPATH, then "Datapath" in the open INI file,
    // then TESTDATA. False when the settings file could not take them all.
    bool Save();
    // Removes the stored keys (the INI file is not touched).
    void Delete();
    // Checks station, station path, data path and the required files; on failure tells the user
    // (unless quiet) and puts the checked values back. Returns Valid().
    bool Validate(bool quiet);
    // True when sFile (written the Windows way or not) names an existing file.
    bool gfb_FileExists(const QString& sFile) const;

    // The start-up opener in the object's own form (see gfbJOV_DataPath_startup).
    bool gfbJOV_DataPath_open(bool bStationPathEnabled = false, int iMaxStations = 0,
                              const QString& sAltDefaultPath = {},
                              bool bStationNumberEnabled = false);
    // Shows the station and data path dialog; true when the station, the station path or the
    // data path changed.
    bool gfbJOV_DataPath_change(bool bCreatePath = false);

  private:
    static QString StationLabelFor(const QString& station, qint16 maximum);
    static bool FileInFolder(const QString& folder, const QString& file);
    // Why `path` cannot be this user's folder (the message and its hint): relative, a file, or
    // a folder the user cannot read and write; nothing when it can be (or is simply missing).
    static std::optional<std::pair<QString, QString>> folderProblem(const QString& path,
                                                                    const QString& label);
    bool PathOrCreate(const QString& path, const QString& label);
    static bool PromptCreatePath(const QString& path, const QString& label);
    static void ShowValidationMessage(const QString& message, const QString& hint);

    QString title_ = QStringLiteral("Station and Data Path");
    QString station_ = QStringLiteral("1");
    QString dataPath_, testPath_, appLabel_;
    QString defaultStation_ = QStringLiteral("1");
    QString defaultDataPath_;
    bool network_ = false, defaultNetwork_ = false;
    QString stationPath_;
    qint16 maxStations_ = 4;
    QString defaultStationPath_;
    bool stationPathEnabled_ = false, cancelled_ = false;
    QString checkFile_, stationFile_;
    bool supressFileCheck_ = false, createPath_ = false, stationNumberEnabled_ = false;
    QString stationLabel_;
    bool valid_ = false;
    QString fieldKey_;
};

// The application name under which the suite keeps its settings.
inline const QString kJovSettings = QStringLiteral("JOV Settings");

// The program's shared settings object, created on first use.
clsDataPath& gDataPath();
// A fresh object in place of the shared one (tests).
void resetDataPath();
// gDataPath().Read(false, "JOV Settings").
void gpDataPathRead();

} // namespace vx
