#pragma once

// The program's persistent options: one typed value per option under `Software\Brelko\Zembra`,
// kept by QSettings("Brelko", "Zembra") (the registry on Windows, an ini file elsewhere). Every
// option is read once when the store is built; every change is written when it is assigned.
// The store also owns the entry that starts the program at logon.

#include "CRegistryDword.h"
#include "CRegistryString.h"

#include <QString>
#include <QVariant>

#include <memory>
#include <optional>
#include <utility>

namespace zembra {

class AutostartEntry;

class CSettings {
public:
    // Builds every option and reads each once; `autostart` replaces the platform's logon entry
    // (tests pass a recording one).
    CSettings();
    explicit CSettings(std::unique_ptr<AutostartEntry> autostart);
    CSettings(const CSettings&) = delete;
    CSettings& operator=(const CSettings&) = delete;
    virtual ~CSettings();

    // Stores `value` as Autostart, then creates the logon entry for m_strProgramPath (rewriting
    // it if it exists) when Autostart now reads 1, else removes it. Always returns 0: failures
    // are not reported to the user.
    int SetAutostart(quint32 value);

    static constexpr quint32 kSnoozeMin = 1;
    static constexpr quint32 kSnoozeMax = 120;
    static constexpr quint32 kSnoozeDefault = 10;
    // The snooze setting, brought into its range (a hand-edited store may hold anything).
    int SnoozeMinutes() const;

    // The notifier window's opacity (0-255) for a transparency in percent; above 100 counts as 100.
    static unsigned OpacityFromTransparency(unsigned percent);

    // Where the options live. Empty (the default): the platform's own place for
    // QSettings("Brelko", "Zembra"). Otherwise this ini file holds the program's key at its root
    // and every other key in a group named after it, so nothing reaches the real registry.
    // Set it before any store is built: it is not guarded against concurrent readers.
    static void SetStorePath(const QString& iniFile);
    static QString StorePath();

    // Splits a registry-style full name into its key path and value name: leading backslashes
    // dropped, the key path is what precedes the last backslash (trailing backslashes dropped),
    // the value name what follows it.
    static std::pair<QString, QString> SplitFullName(const QString& fullName);

    // One value of the store: nullopt when the key or the value does not exist (or the key has
    // no place in this store).
    static std::optional<QVariant> ReadValue(const QString& keyPath, const QString& valueName);
    // Writes one value and flushes it; false when it did not reach the disk or registry.
    static bool WriteValue(const QString& keyPath, const QString& valueName, const QVariant& value);
    // Deletes one value; a missing key or value is not an error.
    static bool RemoveValue(const QString& keyPath, const QString& valueName);

    // Set once by start-up: the running executable's folder (with a trailing separator, empty
    // when the executable's name is not found in its path) and its full path.
    QString m_strProgramDir;
    QString m_strProgramPath;

    CRegistryString m_regRun;            // the Windows Run value that starts the program at logon
    CRegistryDword m_regAutostart;       // 1 = start at logon
    CRegistryDword m_regTips;            // nonzero = tip of the day at start-up
    CRegistryDword m_regMaxRingVolume;   // nonzero = full system volume while an alarm sounds
    CRegistryDword m_regHideOnStartup;   // nonzero = the main window goes to the tray at once
    CRegistryDword m_regAutoload;        // nonzero = open the last alarm list at start-up
    CRegistryDword m_regTransparency;    // percent transparency of the notifier, 0 = opaque
    CRegistryString m_regLastCfg;        // full path of the alarm list last opened or saved
    CRegistryString m_regLang;           // "default", "Polski", "English" or "Deutsch"
    CRegistryDword m_regButtonSleepMode; // suspend command: 0 = standby, nonzero = hibernate
    CRegistryDword m_regWakeHint;        // nonzero = say at start when alarms cannot wake the machine
    CRegistryDword m_regSnoozeMinutes;   // the snooze offered first, in minutes (kSnoozeMin to kSnoozeMax)
    CRegistryDword m_regRepeatSound;     // nonzero = the alarm sound starts over until silenced
    // Set by the first start that keeps approvals of programs: that start approves the list it
    // reopens, so that no one who used the program before notices the change.
    CRegistryDword m_regProgramConsent;

private:
    std::unique_ptr<AutostartEntry> m_pAutostart;
};

} // namespace zembra
