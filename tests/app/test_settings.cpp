// The settings store and the logon entry, always against temporary folders: the store is
// redirected to a per-test ini file, XDG_CONFIG_HOME points into a temporary folder before
// anything reads settings, and main() refuses to run if the default store is not in there.

#include "AutostartEntry.h"
#include "CRegistryString.h"
#include "CSettings.h"

#include <QtTest>

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

// A key as the text in the file says, read without QSettings so that nothing cached in the
// process can answer for the disk. (The stores here hold the one [General] section.)
QByteArray Stored(const QString& ini, const QByteArray& key)
{
    const QRegularExpression line(u"^%1=(.*)$"_s.arg(QString::fromLatin1(key)),
                                  QRegularExpression::MultilineOption);
    const QRegularExpressionMatch found = line.match(QString::fromUtf8(ReadAll(ini)));
    return found.hasMatch() ? found.captured(1).trimmed().toUtf8() : QByteArray("<missing>");
}

} // namespace

class SettingsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        m_ini = m_dir->filePath(u"Zembra.ini"_s);
        m_configHome = m_dir->filePath(u"config"_s);
        // The autostart folder is looked up at each use: every test gets its own.
        QVERIFY(qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_configHome)));
        CSettings::SetStorePath(m_ini);
    }
    void cleanup()
    {
        CSettings::SetStorePath(QString());
        m_dir.reset();
    }

    void aFreshProfileReadsDefaultsAndWritesOnlyWhatIsAssigned()
    {
        CSettings settings;
        QCOMPARE(settings.m_regTips.Get(), 1u);
        QCOMPARE(settings.m_regLang.Get(), u"default"_s);
        QVERIFY2(!QFileInfo::exists(m_ini), ReadAll(m_ini).constData());
        QVERIFY(!QFileInfo::exists(m_configHome));
        settings.m_regTips = 0;
        QCOMPARE(Stored(m_ini, "Tips"), QByteArray("0"));
        QCOMPARE(Stored(m_ini, "Lang"), QByteArray("<missing>"));
        // A default read is no cached value, so even the value the get returns is written.
        settings.m_regTransparency = 50;
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
        // Assigning what each holds: the cached value writes nothing, the forced one writes it.
        cached = u"/a"_s;
        QCOMPARE(Stored(m_ini, "Path"), QByteArray("/bbbbb"));
        QVERIFY(WriteAll(m_ini, "[General]\nPath=/cc\n"));
        forced = u"/bbbbb"_s;
        QCOMPARE(Stored(m_ini, "Path"), QByteArray("/bbbbb"));
        // The Run value of the store is such a value.
        QVERIFY(CSettings().m_regRun.IsForced());
    }

    void theLanguageIsReadAsStored()
    {
        // Empty becomes default (written back, beside what else is stored)...
        QVERIFY(WriteAll(m_ini, "[General]\nLang=\nTips=0\n"));
        QCOMPARE(CSettings().m_regLang.Get(), u"default"_s);
        QCOMPARE(Stored(m_ini, "Lang"), QByteArray("default"));
        QCOMPARE(Stored(m_ini, "Tips"), QByteArray("0"));
        // ...and another letter case is kept as it is.
        QVERIFY(WriteAll(m_ini, "[General]\nLang=english\n"));
        QCOMPARE(CSettings().m_regLang.Get(), u"english"_s);
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
        settings.m_strProgramPath = u"/opt/Zembra Alarm/zembra"_s;
        // Without a file: 0 is stored, and no folder is made for nothing.
        settings.SetAutostart(0);
        QCOMPARE(Stored(m_ini, "Autostart"), QByteArray("0"));
        QVERIFY(!QFileInfo::exists(m_configHome));
        settings.SetAutostart(1);
        QCOMPARE(Stored(m_ini, "Autostart"), QByteArray("1"));
        const QByteArray written = ReadAll(entry);
        QVERIFY2(written.startsWith("[Desktop Entry]\n")
                     && written.contains("\nExec=\"/opt/Zembra Alarm/zembra\"\n"),
                 written.constData());
        settings.SetAutostart(0);
        QVERIFY(!QFileInfo::exists(entry));
        QCOMPARE(Stored(m_ini, "Autostart"), QByteArray("0"));
    }

    // The session unescapes Exec as a string value first, then splits it into quoted arguments:
    // a path that came through wrong would start nothing at logon, or something else.
    void theLogonCommandIsQuotedAndEscaped()
    {
        QCOMPARE(XdgAutostartEntry::ExecValue(u"/usr/bin/zembra"_s), u"/usr/bin/zembra"_s);
        QCOMPARE(XdgAutostartEntry::ExecValue(QString()), u"\"\""_s);
        QCOMPARE(XdgAutostartEntry::ExecValue(u"/a\\b"_s), u"\"/a\\\\\\\\b\""_s);
        QCOMPARE(XdgAutostartEntry::ExecValue(u"/a\tb\nc\r"_s), u"\"/a\\tb\\nc\\r\""_s);
        // A single percent sign would start a field code.
        QCOMPARE(XdgAutostartEntry::ExecValue(u"/opt/100%"_s), u"/opt/100%%"_s);
    }

    void theOpacityFollowsTheTransparencyUpToFullyClear()
    {
        QCOMPARE(CSettings::OpacityFromTransparency(0), 255u);
        QCOMPARE(CSettings::OpacityFromTransparency(30), 178u);
        QCOMPARE(CSettings::OpacityFromTransparency(100), 0u);
        QCOMPARE(CSettings::OpacityFromTransparency(150), 0u);
    }

private:
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
    SettingsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_settings.moc"
