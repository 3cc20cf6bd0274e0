#include "CSettings.h"

#include "AutostartEntry.h"

#include <QSettings>

#include <algorithm>

namespace zembra {

namespace {

QString& StorePathSetting()
{
    static QString path;
    return path;
}

// The key every option of the program lives under.
QString OwnKeyPath()
{
    return QStringLiteral("Software\\Brelko\\Zembra");
}

// The QSettings group of a key path inside the program's own key ("" for the key itself), or
// nullopt for any other key. Registry key names ignore letter case, and so does this.
std::optional<QString> OwnGroup(const QString& keyPath)
{
    const QString own = OwnKeyPath();
    if (keyPath.compare(own, Qt::CaseInsensitive) == 0) {
        return QString();
    }
    if (keyPath.size() > own.size() && keyPath.startsWith(own, Qt::CaseInsensitive)
        && keyPath.at(own.size()) == u'\\') {
        return keyPath.mid(own.size() + 1).replace(u'\\', u'/');
    }
    return std::nullopt;
}

// A key outside the program's own, in the platform's default store.
std::unique_ptr<QSettings> OpenForeignKey(const QString& keyPath)
{
#ifdef Q_OS_WIN
    return std::make_unique<QSettings>(QStringLiteral("HKEY_CURRENT_USER\\") + keyPath,
                                       QSettings::NativeFormat);
#else
    // The ini file of a desktop session holds the program's own key only; there is no shared
    // per-user registry to reach into.
    Q_UNUSED(keyPath);
    return nullptr;
#endif
}

// A QSettings positioned at `keyPath`, or nullptr when that key has no place in the store.
std::unique_ptr<QSettings> OpenKey(const QString& keyPath)
{
    if (keyPath.isEmpty()) {
        return nullptr;
    }
    const std::optional<QString> ownGroup = OwnGroup(keyPath);
    const QString& storePath = StorePathSetting();
    std::unique_ptr<QSettings> store;
    QString group;
    if (!storePath.isEmpty()) {
        store = std::make_unique<QSettings>(storePath, QSettings::IniFormat);
        group = ownGroup
                    ? *ownGroup
                    : QStringLiteral("HKEY_CURRENT_USER/") + QString(keyPath).replace(u'\\', u'/');
    } else if (ownGroup) {
        store = std::make_unique<QSettings>(QStringLiteral("Brelko"), QStringLiteral("Zembra"));
        group = *ownGroup;
    } else {
        store = OpenForeignKey(keyPath);
    }
    if (store && !group.isEmpty()) {
        store->beginGroup(group);
    }
    return store;
}

// A format error only says that something already in the file could not be parsed; whether
// the write reached the disk shows in an access error.
bool Flush(QSettings& store)
{
    store.sync();
    return store.status() != QSettings::AccessError;
}

} // namespace

CSettings::CSettings()
    : CSettings(nullptr)
{
}

CSettings::CSettings(std::unique_ptr<AutostartEntry> autostart)
{
    m_regMaxRingVolume.Open(QStringLiteral("Software\\Brelko\\Zembra\\MaxRingVolume"), 0);
    m_regAutostart.Open(QStringLiteral("Software\\Brelko\\Zembra\\Autostart"), 0);
    m_regTips.Open(QStringLiteral("Software\\Brelko\\Zembra\\Tips"), 1);
    // Forced: the entry must point at the executable that is running now, so it is rewritten
    // every time even when the text looks unchanged.
    m_regRun.Open(QStringLiteral("Software\\Microsoft\\Windows\\CurrentVersion\\Run\\Zembra"),
                  QString(), true);
    m_regHideOnStartup.Open(QStringLiteral("Software\\Brelko\\Zembra\\HideOnStartup"), 0);
    m_regAutoload.Open(QStringLiteral("Software\\Brelko\\Zembra\\Autoload"), 1);
    m_regLastCfg.Open(QStringLiteral("Software\\Brelko\\Zembra\\LastCfg"), QString());
    m_regLang.Open(QStringLiteral("Software\\Brelko\\Zembra\\Lang"), QStringLiteral("default"));
    m_regTransparency.Open(QStringLiteral("Software\\Brelko\\Zembra\\Transparency"), 50);
    m_regButtonSleepMode.Open(QStringLiteral("Software\\Brelko\\Zembra\\ButtonSleepMode"), 0);
    m_regWakeHint.Open(QStringLiteral("Software\\Brelko\\Zembra\\WakeHint"), 1);
    m_regSnoozeMinutes.Open(QStringLiteral("Software\\Brelko\\Zembra\\SnoozeMinutes"), kSnoozeDefault);
    m_regRepeatSound.Open(QStringLiteral("Software\\Brelko\\Zembra\\RepeatSound"), 0);
    m_regProgramConsent.Open(QStringLiteral("Software\\Brelko\\Zembra\\ProgramConsent"), 0);

    // An existing but empty language matches no language at start-up; store the one that
    // follows the system instead. A missing value already reads as that and stays missing.
    if (m_regLang.Get().isEmpty()) {
        m_regLang = QStringLiteral("default");
    }

    m_pAutostart = autostart ? std::move(autostart) : AutostartEntry::CreateForPlatform(m_regRun);
}

CSettings::~CSettings() = default;

int CSettings::SetAutostart(quint32 value)
{
    m_regAutostart = value;
    // What the store now says decides, so the entry agrees with what the settings dialog will
    // show next time.
    if (m_regAutostart.Get() == 1) {
        m_pAutostart->Install(m_strProgramPath);
    } else {
        m_pAutostart->Remove();
    }
    return 0;
}

int CSettings::SnoozeMinutes() const
{
    return static_cast<int>(std::clamp(m_regSnoozeMinutes.Get(), kSnoozeMin, kSnoozeMax));
}

unsigned CSettings::OpacityFromTransparency(unsigned percent)
{
    return (100U - std::min(percent, 100U)) * 255U / 100U;
}

void CSettings::SetStorePath(const QString& iniFile)
{
    StorePathSetting() = iniFile;
}

QString CSettings::StorePath()
{
    return StorePathSetting();
}

std::pair<QString, QString> CSettings::SplitFullName(const QString& fullName)
{
    qsizetype start = 0;
    while (start < fullName.size() && fullName.at(start) == u'\\') {
        ++start;
    }
    const QString name = fullName.mid(start);
    const qsizetype last = name.lastIndexOf(u'\\');
    if (last < 0) {
        return {QString(), name};
    }
    QString keyPath = name.left(last);
    while (keyPath.endsWith(u'\\')) {
        keyPath.chop(1);
    }
    return {keyPath, name.mid(last + 1)};
}

std::optional<QVariant> CSettings::ReadValue(const QString& keyPath, const QString& valueName)
{
    if (valueName.isEmpty()) {
        return std::nullopt;
    }
    const std::unique_ptr<QSettings> store = OpenKey(keyPath);
    if (!store || !store->contains(valueName)) {
        return std::nullopt;
    }
    QVariant value = store->value(valueName);
    if (!value.isValid()) {
        return std::nullopt;
    }
    return value;
}

bool CSettings::WriteValue(const QString& keyPath, const QString& valueName, const QVariant& value)
{
    // An empty name would address the whole group in QSettings.
    if (valueName.isEmpty()) {
        return false;
    }
    const std::unique_ptr<QSettings> store = OpenKey(keyPath);
    if (!store) {
        return false;
    }
    const QVariant before = store->contains(valueName) ? store->value(valueName) : QVariant();
    store->setValue(valueName, value);
    if (Flush(*store)) {
        return true;
    }
    // QSettings keeps the unsaved changes of a file in one buffer shared by all its objects in
    // the process: left there, the failed value would show in later reads and be flushed by some
    // later write. Putting the old state back keeps the store what the disk says.
    if (before.isValid()) {
        store->setValue(valueName, before);
    } else {
        store->remove(valueName);
    }
    return false;
}

bool CSettings::RemoveValue(const QString& keyPath, const QString& valueName)
{
    if (valueName.isEmpty()) {
        return false;
    }
    const std::unique_ptr<QSettings> store = OpenKey(keyPath);
    if (!store || !store->contains(valueName)) {
        return true;
    }
    store->remove(valueName);
    return Flush(*store);
}

} // namespace zembra
