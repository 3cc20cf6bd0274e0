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
using namespace Qt::StringLiterals;

namespace {

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
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
    bool general = false;
    for (const QByteArray& raw : ReadAll(ini).split('\n')) {
        const QByteArray line = raw.trimmed();
        if (line.startsWith('[')) {
            general = line == "[General]";
        } else if (general && line.startsWith(key + '=')) {
            return line.mid(key.size() + 1);
        }
    }
    return "<missing>";
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
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        m_ini = m_dir->filePath(u"Zembra.ini"_s);
        m_configHome = m_dir->filePath(u"config"_s);
        QVERIFY(qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_configHome)));
        CSettings::SetStorePath(m_ini);
    }
    void cleanup()
    {
        CSettings::SetStorePath(QString());
        QVERIFY(qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_rootConfigHome)));
        m_dir.reset();
    }

    void aFreshProfileReadsDefaultsAndWritesOnlyWhatIsAssigned()
    {
        {
            CSettings settings;
            QCOMPARE(settings.m_regTips.Get(), 1u);
            QCOMPARE(settings.m_regAutoload.Get(), 1u);
            QCOMPARE(settings.m_regTransparency.Get(), 50u);
            QCOMPARE(settings.m_regLang.Get(), u"default"_s);
            QVERIFY2(!QFileInfo::exists(m_ini), ReadAll(m_ini).constData());
            QVERIFY(!QFileInfo::exists(m_configHome));
            settings.m_regTips = 0;
            QCOMPARE(settings.m_regTips.Get(), 0u);
        }
        QCOMPARE(Stored(m_ini, "Tips"), QByteArray("0"));
        QCOMPARE(Stored(m_ini, "Autoload"), QByteArray("<missing>"));
        QCOMPARE(Stored(m_ini, "Lang"), QByteArray("<missing>"));
        CSettings next;
        QCOMPARE(next.m_regTips.Get(), 0u);
        // The cache was never valid, so even the value that the get returned is written.
        next.m_regTransparency = 50;
        QCOMPARE(Stored(m_ini, "Transparency"), QByteArray("50"));
    }

    void assigningTheValueAlreadyReadWritesNothing()
    {
        QVERIFY(WriteAll(m_ini, "[General]\nTips=1\nLastCfg=/home/a.zmb\n"));
        CSettings settings;
        const QByteArray behindItsBack = "[General]\nTips=12345\nLastCfg=/changed/elsewhere.zmb\n";
        QVERIFY(WriteAll(m_ini, behindItsBack));
        settings.m_regTips = 1;
        settings.m_regLastCfg = u"/home/a.zmb"_s;
        QCOMPARE(ReadAll(m_ini), behindItsBack);
        // A different value is written at once.
        settings.m_regTips = 0;
        QCOMPARE(Stored(m_ini, "Tips"), QByteArray("0"));
        settings.m_regLastCfg = u"/home/b.zmb"_s;
        QCOMPARE(Stored(m_ini, "LastCfg"), QByteArray("/home/b.zmb"));
    }

    void aForcedValueIsReadAndWrittenEveryTime()
    {
        QVERIFY(WriteAll(m_ini, "[General]\nPath=/a\n"));
        CRegistryString forced(u"Software\\Brelko\\Zembra\\Path"_s, QString(), true);
        CRegistryString cached(u"Software\\Brelko\\Zembra\\Path"_s, QString(), false);
        QCOMPARE(forced.Get(), u"/a"_s);
        QCOMPARE(cached.Get(), u"/a"_s);
        // Changed behind its back: the forced value reads it again, the cached one does not.
        QVERIFY(WriteAll(m_ini, "[General]\nPath=/bbbbb\n"));
        QCOMPARE(forced.Get(), u"/bbbbb"_s);
        QCOMPARE(cached.Get(), u"/a"_s);
        // Assigning what the cache holds: only the forced value writes it.
        cached = u"/a"_s;
        QCOMPARE(Stored(m_ini, "Path"), QByteArray("/bbbbb"));
        forced = u"/a"_s;
        QCOMPARE(Stored(m_ini, "Path"), QByteArray("/a"));
        QVERIFY(WriteAll(m_ini, "[General]\nPath=/cc\n"));
        forced = u"/a"_s;
        QCOMPARE(Stored(m_ini, "Path"), QByteArray("/a"));
        // The Run value of the store is such a value.
        QVERIFY(CSettings().m_regRun.IsForced());
    }

    void theLanguageIsReadAsStored_data()
    {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<QString>("lang");
        QTest::newRow("empty becomes default") << QByteArray() << u"default"_s;
        QTest::newRow("other case is kept") << QByteArray("english") << u"english"_s;
    }
    void theLanguageIsReadAsStored()
    {
        QFETCH(QByteArray, stored);
        QFETCH(QString, lang);
        QVERIFY(WriteAll(m_ini, "[General]\nLang=" + stored + "\nTips=0\n"));
        QCOMPARE(CSettings().m_regLang.Get(), lang);
        QCOMPARE(Stored(m_ini, "Lang"), lang.toUtf8());
        QCOMPARE(Stored(m_ini, "Tips"), QByteArray("0"));
    }

    void anUnwritableStoreKeepsTheValueForTheRunOnly()
    {
        QVERIFY(WriteAll(m_ini, "[General]\nTips=1\nLang=Polski\n"));
        CSettings settings;
        // Its parent is a regular file: nobody, root included, can create it.
        QVERIFY(WriteAll(m_dir->filePath(u"blocker"_s), "not a folder"));
        const QString blocked = m_dir->filePath(u"blocker/Zembra.ini"_s);
        CSettings::SetStorePath(blocked);
        QVERIFY(!settings.m_regTips.Set(0));
        QVERIFY(!settings.m_regLang.Set(u"English"_s));
        // The read flag was set by the read at construction, so the new values are what the
        // program sees for the rest of the run...
        QCOMPARE(settings.m_regTips.Get(), 0u);
        QCOMPARE(settings.m_regLang.Get(), u"English"_s);
        QVERIFY(!QFileInfo::exists(blocked));
        // ...and only for the run.
        CSettings::SetStorePath(m_ini);
        CSettings next;
        QCOMPARE(next.m_regTips.Get(), 1u);
        QCOMPARE(next.m_regLang.Get(), u"Polski"_s);
    }

    void autostartWritesAndRemovesTheDesktopEntry()
    {
        const QString entry = m_configHome + u"/autostart/zembra.desktop"_s;
        CSettings settings;
        settings.m_strProgramPath = u"/usr/bin/zembra"_s;
        // Without a file: 0 is stored, and no folder is made for nothing.
        QCOMPARE(settings.SetAutostart(0), 0);
        QCOMPARE(Stored(m_ini, "Autostart"), QByteArray("0"));
        QVERIFY(!QFileInfo::exists(m_configHome));
        QCOMPARE(settings.SetAutostart(1), 0);
        QVERIFY(ReadAll(entry).contains("\nExec=/usr/bin/zembra\n"));
        QCOMPARE(settings.SetAutostart(0), 0);
        QVERIFY(!QFileInfo::exists(entry));
        QCOMPARE(Stored(m_ini, "Autostart"), QByteArray("0"));

        settings.m_strProgramPath = u"/opt/Zembra Alarm/zembra"_s;
        QCOMPARE(settings.SetAutostart(1), 0);
        QCOMPARE(Stored(m_ini, "Autostart"), QByteArray("1"));
        QCOMPARE(ReadAll(entry), QByteArray("[Desktop Entry]\n"
                                            "Type=Application\n"
                                            "Name=Zembra\n"
                                            "Comment=Alarm clock and power scheduler\n"
                                            "Comment[pl]=Budzik i harmonogram zasilania\n"
                                            "Exec=\"/opt/Zembra Alarm/zembra\"\n"
                                            "Icon=zembra\n"
                                            "Terminal=false\n"
                                            "X-GNOME-Autostart-enabled=true\n"));
    }

    void theOpacityFollowsTheTransparency_data()
    {
        QTest::addColumn<unsigned>("percent");
        QTest::addColumn<unsigned>("opacity");
        QTest::newRow("0") << 0u << 255u;
        QTest::newRow("30") << 30u << 178u;
        QTest::newRow("100") << 100u << 0u;
        QTest::newRow("150, past the end") << 150u << 0u;
    }
    void theOpacityFollowsTheTransparency()
    {
        QFETCH(unsigned, percent);
        QFETCH(unsigned, opacity);
        QCOMPARE(CSettings::OpacityFromTransparency(percent), opacity);
    }

private:
    QString m_rootConfigHome;
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_ini;
    QString m_configHome;
};

int main(int argc, char** argv)
{
    // Before anything reads settings: QSettings fixes its per-user folder at first use.
    QTemporaryDir root;
    const QString configHome = root.filePath(u"config"_s);
    if (!root.isValid() || !qputenv("XDG_CONFIG_HOME", QFile::encodeName(configHome))) {
        std::fprintf(stderr, "cannot move the settings into a temporary folder\n");
        return 2;
    }
    const QString defaultStore = QSettings(u"Brelko"_s, u"Zembra"_s).fileName();
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
