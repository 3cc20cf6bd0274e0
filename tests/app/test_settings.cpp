// The settings store and the logon entry, always against temporary folders: the store is
// redirected to a per-test ini file, XDG_CONFIG_HOME points into a temporary folder before
// anything reads settings, and main() refuses to run if the default store is not in there.

#include "AutostartEntry.h"
#include "CRegistryString.h"
#include "CSettings.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>
#include <memory>

using namespace zembra;

namespace {

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return QByteArrayLiteral("<unreadable>");
    }
    return file.readAll();
}

bool WriteAll(const QString& path, const QByteArray& contents)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate)
           && file.write(contents) == contents.size();
}

// A key of the [General] section as the text in the file says, read without QSettings so that
// nothing cached in the process can answer for the disk.
QByteArray Stored(const QString& ini, const QByteArray& key)
{
    QFile file(ini);
    if (!file.open(QIODevice::ReadOnly)) {
        return QByteArrayLiteral("<no file>");
    }
    bool general = false;
    const QList<QByteArray> lines = file.readAll().split('\n');
    for (const QByteArray& raw : lines) {
        const QByteArray line = raw.trimmed();
        if (line.startsWith('[')) {
            general = line == "[General]";
        } else if (general && line.startsWith(key + '=')) {
            return line.mid(key.size() + 1);
        }
    }
    return QByteArrayLiteral("<missing>");
}

} // namespace

class SettingsTest : public QObject {
    Q_OBJECT

public:
    explicit SettingsTest(QString rootConfigHome)
        : m_rootConfigHome(std::move(rootConfigHome))
    {
    }

private Q_SLOTS:
    void init();
    void cleanup();

    void freshProfileReadsDefaultsAndWritesNothing();
    void tipsZeroOnFreshProfileIsWritten();
    void assigningTheValueAlreadyReadWritesNothing();
    void forcedValueIsReadAndWrittenEveryTime();
    void langAsStored_data();
    void langAsStored();
    void unwritableStoreKeepsValueInCacheForTheRun();
    void setAutostartOneCreatesDesktopFile();
    void setAutostartZeroStoresZeroAndRemovesFile();
    void opacityFromTransparency_data();
    void opacityFromTransparency();

private:
    QString AutostartFile() const
    {
        return m_configHome + QStringLiteral("/autostart/zembra.desktop");
    }
    QString BlockedStore() const;

    QString m_rootConfigHome;
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_ini;
    QString m_configHome;
};

void SettingsTest::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_ini = m_dir->filePath(QStringLiteral("Zembra.ini"));
    m_configHome = m_dir->filePath(QStringLiteral("config"));
    QVERIFY(qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_configHome)));
    CSettings::SetStorePath(m_ini);
}

void SettingsTest::cleanup()
{
    CSettings::SetStorePath(QString());
    QVERIFY(qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_rootConfigHome)));
    m_dir.reset();
}

// An ini path whose parent is a regular file: nobody, root included, can create it.
QString SettingsTest::BlockedStore() const
{
    const QString blocker = m_dir->filePath(QStringLiteral("blocker"));
    if (!QFileInfo::exists(blocker) && !WriteAll(blocker, "not a folder")) {
        return {};
    }
    return blocker + QStringLiteral("/Zembra.ini");
}

void SettingsTest::freshProfileReadsDefaultsAndWritesNothing()
{
    CSettings settings;
    QVERIFY(settings.m_strProgramDir.isEmpty());
    QVERIFY(settings.m_strProgramPath.isEmpty());
    QCOMPARE(settings.m_regRun.Get(), QString());
    QCOMPARE(settings.m_regAutostart.Get(), 0u);
    QCOMPARE(settings.m_regTips.Get(), 1u);
    QCOMPARE(settings.m_regMaxRingVolume.Get(), 0u);
    QCOMPARE(settings.m_regHideOnStartup.Get(), 0u);
    QCOMPARE(settings.m_regAutoload.Get(), 1u);
    QCOMPARE(settings.m_regTransparency.Get(), 50u);
    QCOMPARE(settings.m_regLastCfg.Get(), QString());
    QCOMPARE(settings.m_regLang.Get(), QStringLiteral("default"));
    QCOMPARE(settings.m_regButtonSleepMode.Get(), 0u);

    QVERIFY2(!QFileInfo::exists(m_ini), ReadAll(m_ini).constData());
    QVERIFY(!QFileInfo::exists(m_configHome));
}

void SettingsTest::tipsZeroOnFreshProfileIsWritten()
{
    {
        CSettings settings;
        settings.m_regTips = 0;
        QCOMPARE(settings.m_regTips.Get(), 0u);
    }
    QCOMPARE(Stored(m_ini, "Tips"), QByteArray("0"));
    // Only what was assigned is written.
    QCOMPARE(Stored(m_ini, "Autoload"), QByteArray("<missing>"));
    QCOMPARE(Stored(m_ini, "Lang"), QByteArray("<missing>"));

    CSettings next;
    QCOMPARE(next.m_regTips.Get(), 0u);

    // The cache was never valid, so even the value that the get returned is written.
    next.m_regTransparency = 50;
    QCOMPARE(Stored(m_ini, "Transparency"), QByteArray("50"));
}

void SettingsTest::assigningTheValueAlreadyReadWritesNothing()
{
    QVERIFY(WriteAll(m_ini, "[General]\nTips=1\nLastCfg=/home/a.zmb\n"));
    CSettings settings;
    const QByteArray behindItsBack = "[General]\nTips=12345\nLastCfg=/changed/elsewhere.zmb\n";
    QVERIFY(WriteAll(m_ini, behindItsBack));

    settings.m_regTips = 1;
    settings.m_regLastCfg = QStringLiteral("/home/a.zmb");
    QCOMPARE(ReadAll(m_ini), behindItsBack);

    // A different value is written at once.
    settings.m_regTips = 0;
    QCOMPARE(Stored(m_ini, "Tips"), QByteArray("0"));
    settings.m_regLastCfg = QStringLiteral("/home/b.zmb");
    QCOMPARE(Stored(m_ini, "LastCfg"), QByteArray("/home/b.zmb"));
}

void SettingsTest::forcedValueIsReadAndWrittenEveryTime()
{
    QVERIFY(WriteAll(m_ini, "[General]\nPath=/a\n"));
    CRegistryString forced(QStringLiteral("Software\\Brelko\\Zembra\\Path"), QString(), true);
    CRegistryString cached(QStringLiteral("Software\\Brelko\\Zembra\\Path"), QString(), false);
    QCOMPARE(forced.Get(), QStringLiteral("/a"));
    QCOMPARE(cached.Get(), QStringLiteral("/a"));

    // Changed behind its back: the forced value reads it again, the cached one does not.
    QVERIFY(WriteAll(m_ini, "[General]\nPath=/bbbbb\n"));
    QCOMPARE(forced.Get(), QStringLiteral("/bbbbb"));
    QCOMPARE(cached.Get(), QStringLiteral("/a"));
    // Assigning what the cache holds: only the forced value writes it.
    cached = QStringLiteral("/a");
    QCOMPARE(Stored(m_ini, "Path"), QByteArray("/bbbbb"));
    forced = QStringLiteral("/a");
    QCOMPARE(Stored(m_ini, "Path"), QByteArray("/a"));
    QVERIFY(WriteAll(m_ini, "[General]\nPath=/cc\n"));
    forced = QStringLiteral("/a");
    QCOMPARE(Stored(m_ini, "Path"), QByteArray("/a"));

    // The Run value of the store is such a value.
    CSettings settings;
    QVERIFY(settings.m_regRun.IsForced());
}

void SettingsTest::langAsStored_data()
{
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<QString>("lang");
    QTest::newRow("empty becomes default") << QByteArray() << QStringLiteral("default");
    QTest::newRow("other case is kept") << QByteArray("english") << QStringLiteral("english");
}

void SettingsTest::langAsStored()
{
    QFETCH(QByteArray, stored);
    QFETCH(QString, lang);
    QVERIFY(WriteAll(m_ini, "[General]\nLang=" + stored + "\nTips=0\n"));
    CSettings settings;
    QCOMPARE(settings.m_regLang.Get(), lang);
    QCOMPARE(Stored(m_ini, "Lang"), lang.toUtf8());
    QCOMPARE(Stored(m_ini, "Tips"), QByteArray("0"));
}

void SettingsTest::unwritableStoreKeepsValueInCacheForTheRun()
{
    QVERIFY(WriteAll(m_ini, "[General]\nTips=1\nLang=Polski\n"));
    CSettings settings;
    const QString blocked = BlockedStore();
    QVERIFY(!blocked.isEmpty());
    CSettings::SetStorePath(blocked);

    QVERIFY(!settings.m_regTips.Set(0));
    QVERIFY(!settings.m_regLang.Set(QStringLiteral("English")));
    // The read flag was set by the read at construction, so the new values are what the
    // program sees for the rest of the run...
    QCOMPARE(settings.m_regTips.Get(), 0u);
    QCOMPARE(settings.m_regLang.Get(), QStringLiteral("English"));
    QVERIFY(!QFileInfo::exists(blocked));

    // ...and only for the run.
    CSettings::SetStorePath(m_ini);
    CSettings next;
    QCOMPARE(next.m_regTips.Get(), 1u);
    QCOMPARE(next.m_regLang.Get(), QStringLiteral("Polski"));
}

void SettingsTest::setAutostartOneCreatesDesktopFile()
{
    CSettings settings;
    settings.m_strProgramPath = QStringLiteral("/opt/Zembra Alarm/zembra");
    QCOMPARE(settings.SetAutostart(1), 0);
    QCOMPARE(Stored(m_ini, "Autostart"), QByteArray("1"));
    QCOMPARE(ReadAll(AutostartFile()), QByteArray("[Desktop Entry]\n"
                                                  "Type=Application\n"
                                                  "Name=Zembra\n"
                                                  "Comment=Alarm clock and power scheduler\n"
                                                  "Comment[pl]=Budzik i harmonogram zasilania\n"
                                                  "Exec=\"/opt/Zembra Alarm/zembra\"\n"
                                                  "Icon=zembra\n"
                                                  "Terminal=false\n"
                                                  "X-GNOME-Autostart-enabled=true\n"));
}

void SettingsTest::setAutostartZeroStoresZeroAndRemovesFile()
{
    CSettings settings;
    settings.m_strProgramPath = QStringLiteral("/usr/bin/zembra");
    // Without a file: 0 is stored, and no folder is made for nothing.
    QCOMPARE(settings.SetAutostart(0), 0);
    QCOMPARE(Stored(m_ini, "Autostart"), QByteArray("0"));
    QVERIFY(!QFileInfo::exists(m_configHome));

    QCOMPARE(settings.SetAutostart(1), 0);
    QVERIFY(ReadAll(AutostartFile()).contains("\nExec=/usr/bin/zembra\n"));
    QCOMPARE(settings.SetAutostart(0), 0);
    QVERIFY(!QFileInfo::exists(AutostartFile()));
    QCOMPARE(Stored(m_ini, "Autostart"), QByteArray("0"));
}

void SettingsTest::opacityFromTransparency_data()
{
    QTest::addColumn<unsigned>("percent");
    QTest::addColumn<unsigned>("opacity");
    QTest::newRow("0") << 0u << 255u;
    QTest::newRow("30") << 30u << 178u;
    QTest::newRow("50") << 50u << 127u;
    QTest::newRow("100") << 100u << 0u;
    QTest::newRow("150") << 150u << 0u;
}

void SettingsTest::opacityFromTransparency()
{
    QFETCH(unsigned, percent);
    QFETCH(unsigned, opacity);
    QCOMPARE(CSettings::OpacityFromTransparency(percent), opacity);
}

int main(int argc, char** argv)
{
    // Before anything reads settings: QSettings fixes its per-user folder at first use.
    QTemporaryDir root;
    if (!root.isValid()) {
        std::fprintf(stderr, "cannot create a temporary folder\n");
        return 2;
    }
    const QString configHome = root.filePath(QStringLiteral("config"));
    if (!qputenv("XDG_CONFIG_HOME", QFile::encodeName(configHome))) {
        std::fprintf(stderr, "cannot set XDG_CONFIG_HOME\n");
        return 2;
    }
    const QString defaultStore =
        QSettings(QStringLiteral("Brelko"), QStringLiteral("Zembra")).fileName();
    if (!defaultStore.startsWith(configHome + u'/')) {
        std::fprintf(stderr, "refusing to run: the default store would be %s\n",
                     qPrintable(defaultStore));
        return 2;
    }

    QCoreApplication app(argc, argv);
    SettingsTest test(configHome);
    return QTest::qExec(&test, argc, argv);
}

#include "test_settings.moc"
