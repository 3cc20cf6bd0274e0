// The settings store and the logon entry, always against temporary folders: the store is
// redirected to a per-test ini file, XDG_CONFIG_HOME points into a temporary folder before
// anything reads settings, and main() refuses to run if the default store is not in there.

#include "AutostartEntry.h"
#include "CRegistryDword.h"
#include "CRegistryString.h"
#include "CSettings.h"

#include <QCoreApplication>
#include <QDir>
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

// How a launcher reads Exec: string-value escapes first, then field codes (only %% here), then
// the split into arguments with double-quote quoting.
QStringList DecodeExec(const QString& value)
{
    QString unescaped;
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value.at(i) == u'\\' && i + 1 < value.size()) {
            const QChar next = value.at(++i);
            switch (next.unicode()) {
            case u's':
                unescaped += u' ';
                break;
            case u'n':
                unescaped += u'\n';
                break;
            case u't':
                unescaped += u'\t';
                break;
            case u'r':
                unescaped += u'\r';
                break;
            case u'\\':
                unescaped += u'\\';
                break;
            default:
                return {QStringLiteral("<bad string escape>")};
            }
        } else {
            unescaped += value.at(i);
        }
    }
    unescaped.replace(QLatin1String("%%"), QLatin1String("%"));

    QStringList arguments;
    QString current;
    bool inArgument = false;
    for (qsizetype i = 0; i < unescaped.size(); ++i) {
        const QChar c = unescaped.at(i);
        if (c == u'"') {
            inArgument = true;
            for (++i; i < unescaped.size() && unescaped.at(i) != u'"'; ++i) {
                if (unescaped.at(i) == u'\\') {
                    const QChar next = i + 1 < unescaped.size() ? unescaped.at(i + 1) : QChar();
                    if (next != u'"' && next != u'`' && next != u'$' && next != u'\\') {
                        return {QStringLiteral("<bad quote escape>")};
                    }
                    ++i;
                }
                current += unescaped.at(i);
            }
            if (i >= unescaped.size()) {
                return {QStringLiteral("<unterminated quote>")};
            }
        } else if (c == u' ') {
            if (inArgument) {
                arguments << current;
            }
            current.clear();
            inArgument = false;
        } else {
            static const QString reserved = QStringLiteral("\t\n'\\><~|&;$*?#()`");
            if (reserved.contains(c)) {
                return {QStringLiteral("<unquoted reserved character>")};
            }
            inArgument = true;
            current += c;
        }
    }
    if (inArgument) {
        arguments << current;
    }
    return arguments;
}

// Records what the store asked of the logon entry.
class RecordingAutostart final : public AutostartEntry {
public:
    explicit RecordingAutostart(QStringList* calls)
        : m_calls(calls)
    {
    }
    bool Install(const QString& programPath) override
    {
        m_calls->append(QStringLiteral("install ") + programPath);
        return true;
    }
    bool Remove() override
    {
        m_calls->append(QStringLiteral("remove"));
        return true;
    }

private:
    QStringList* m_calls;
};

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
    void defaultOnFreshProfileIsWritten();
    void successfulWriteMakesTheCacheValid();
    void constructionReadsEveryOptionOnce();
    void assigningTheValueAlreadyReadWritesNothing();
    void missingValueIsReadAgainUntilFound();
    void forcedValueIsReadOnEveryGet();
    void forcedValueIsWrittenEvenWhenUnchanged();
    void emptyLangBecomesDefault();
    void langDifferingInCaseIsKept();
    void fullNameSplitting_data();
    void fullNameSplitting();
    void ownSubKeysAreGroupsWhateverTheCase();
    void otherKeysStayInTheRedirectedFile();
    void defaultStoreIsTheConfigHomeFile();
    void dwordIsStoredUnsigned();
    void unreadableDwordReadsDefault();
    void stringEndsAtFirstNul();
    void unnamedValueReadsZeroAndCannotBeWritten();
    void unwritableStoreKeepsValueInCacheForTheRun();
    void unwritableStoreOnFreshProfileReadsDefault();
    void setAutostartOneCreatesDesktopFile();
    void setAutostartOneRewritesExistingFile();
    void setAutostartZeroWithoutFileStoresZero();
    void setAutostartZeroRemovesFile();
    void setAutostartFollowsWhatTheStoreHolds();
    void xdgEntryInGivenFolder();
    void execValue_data();
    void execValue();
    void execValueRoundTrip_data();
    void execValueRoundTrip();
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
    // The conversions are the same gets.
    QCOMPARE(static_cast<quint32>(settings.m_regTips), 1u);
    QCOMPARE(static_cast<QString>(settings.m_regLang), QStringLiteral("default"));

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
}

void SettingsTest::defaultOnFreshProfileIsWritten()
{
    // The cache was never valid, so even the value that the get returned is written.
    CSettings settings;
    settings.m_regTransparency = 50;
    QCOMPARE(Stored(m_ini, "Transparency"), QByteArray("50"));
}

void SettingsTest::successfulWriteMakesTheCacheValid()
{
    CSettings settings;
    settings.m_regTips = 0;
    settings.m_regLastCfg = QStringLiteral("/home/a.zmb");
    const QByteArray behindItsBack = "[General]\nTips=12345\nLastCfg=/changed/elsewhere.zmb\n";
    QVERIFY(WriteAll(m_ini, behindItsBack));
    QCOMPARE(settings.m_regTips.Get(), 0u);
    QCOMPARE(settings.m_regLastCfg.Get(), QStringLiteral("/home/a.zmb"));
    settings.m_regTips = 0;
    settings.m_regLastCfg = QStringLiteral("/home/a.zmb");
    QCOMPARE(ReadAll(m_ini), behindItsBack);
}

void SettingsTest::constructionReadsEveryOptionOnce()
{
    QVERIFY(WriteAll(m_ini, "[General]\nAutostart=1\nTips=0\nMaxRingVolume=1\nHideOnStartup=1\n"
                            "Autoload=0\nTransparency=30\nLastCfg=/home/ala/alarms.zmb\n"
                            "Lang=English\nButtonSleepMode=1\n"));
    CSettings settings;
    // Changed behind its back (with other lengths, so the change cannot go unnoticed): the
    // values read at construction stay.
    QVERIFY(WriteAll(m_ini, "[General]\nAutostart=11\nTips=10\nMaxRingVolume=11\n"
                            "HideOnStartup=11\nAutoload=10\nTransparency=390\n"
                            "LastCfg=/somewhere/else.zmb\nLang=Deutsch\nButtonSleepMode=11\n"));
    QCOMPARE(settings.m_regAutostart.Get(), 1u);
    QCOMPARE(settings.m_regTips.Get(), 0u);
    QCOMPARE(settings.m_regMaxRingVolume.Get(), 1u);
    QCOMPARE(settings.m_regHideOnStartup.Get(), 1u);
    QCOMPARE(settings.m_regAutoload.Get(), 0u);
    QCOMPARE(settings.m_regTransparency.Get(), 30u);
    QCOMPARE(settings.m_regLastCfg.Get(), QStringLiteral("/home/ala/alarms.zmb"));
    QCOMPARE(settings.m_regLang.Get(), QStringLiteral("English"));
    QCOMPARE(settings.m_regButtonSleepMode.Get(), 1u);
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

void SettingsTest::missingValueIsReadAgainUntilFound()
{
    CRegistryDword tips(QStringLiteral("Software\\Brelko\\Zembra\\Tips"), 1);
    QCOMPARE(tips.Get(), 1u);
    // A failed read leaves the read flag unset, so the next get asks the store again...
    QVERIFY(WriteAll(m_ini, "[General]\nTips=5\n"));
    QCOMPARE(tips.Get(), 5u);
    // ...and a successful one sets it.
    QVERIFY(WriteAll(m_ini, "[General]\nTips=777\n"));
    QCOMPARE(tips.Get(), 5u);
    QCOMPARE(tips.Read(), 777u);
    QCOMPARE(tips.Get(), 777u);
}

void SettingsTest::forcedValueIsReadOnEveryGet()
{
    QVERIFY(WriteAll(m_ini, "[General]\nTips=5\n"));
    CRegistryDword forced(QStringLiteral("Software\\Brelko\\Zembra\\Tips"), 1, true);
    CRegistryDword cached(QStringLiteral("Software\\Brelko\\Zembra\\Tips"), 1, false);
    QVERIFY(forced.IsForced());
    QVERIFY(!cached.IsForced());
    QVERIFY(WriteAll(m_ini, "[General]\nTips=777\n"));
    QCOMPARE(forced.Get(), 777u);
    QCOMPARE(cached.Get(), 5u);
    QVERIFY(WriteAll(m_ini, "[General]\nTips=88888\n"));
    QCOMPARE(forced.Get(), 88888u);

    // A forced value that disappears reads as the default again.
    QVERIFY(WriteAll(m_ini, "[General]\nOther=1\n"));
    QCOMPARE(forced.Get(), 1u);
}

void SettingsTest::forcedValueIsWrittenEvenWhenUnchanged()
{
    QVERIFY(WriteAll(m_ini, "[General]\nPath=/a\n"));
    CRegistryString forced(QStringLiteral("Software\\Brelko\\Zembra\\Path"), QString(), true);
    CRegistryString cached(QStringLiteral("Software\\Brelko\\Zembra\\Path"), QString(), false);
    QCOMPARE(forced.Get(), QStringLiteral("/a"));

    QVERIFY(WriteAll(m_ini, "[General]\nPath=/bbbbb\n"));
    // Both caches hold "/a"; only the forced value writes it.
    cached = QStringLiteral("/a");
    QCOMPARE(Stored(m_ini, "Path"), QByteArray("/bbbbb"));
    forced = QStringLiteral("/a");
    QCOMPARE(Stored(m_ini, "Path"), QByteArray("/a"));
    // And again, with the store already agreeing.
    QVERIFY(WriteAll(m_ini, "[General]\nPath=/cc\n"));
    forced = QStringLiteral("/a");
    QCOMPARE(Stored(m_ini, "Path"), QByteArray("/a"));

    // The Run value of the store is such a value.
    CSettings settings;
    QVERIFY(settings.m_regRun.IsForced());
}

void SettingsTest::emptyLangBecomesDefault()
{
    QVERIFY(WriteAll(m_ini, "[General]\nLang=\nTips=0\n"));
    CSettings settings;
    QCOMPARE(settings.m_regLang.Get(), QStringLiteral("default"));
    QCOMPARE(Stored(m_ini, "Lang"), QByteArray("default"));
    QCOMPARE(Stored(m_ini, "Tips"), QByteArray("0"));
}

void SettingsTest::langDifferingInCaseIsKept()
{
    const QByteArray contents = "[General]\nLang=english\n";
    QVERIFY(WriteAll(m_ini, contents));
    CSettings settings;
    QCOMPARE(settings.m_regLang.Get(), QStringLiteral("english"));
    QCOMPARE(ReadAll(m_ini), contents);
}

void SettingsTest::fullNameSplitting_data()
{
    QTest::addColumn<QString>("fullName");
    QTest::addColumn<QString>("keyPath");
    QTest::addColumn<QString>("valueName");

    QTest::newRow("option") << QStringLiteral("Software\\Brelko\\Zembra\\Tips")
                            << QStringLiteral("Software\\Brelko\\Zembra") << QStringLiteral("Tips");
    QTest::newRow("leading backslashes")
        << QStringLiteral("\\\\Software\\Brelko\\Zembra\\Lang")
        << QStringLiteral("Software\\Brelko\\Zembra") << QStringLiteral("Lang");
    QTest::newRow("doubled last separator")
        << QStringLiteral("Software\\Brelko\\Zembra\\\\\\Tips")
        << QStringLiteral("Software\\Brelko\\Zembra") << QStringLiteral("Tips");
    QTest::newRow("inner doubled separator kept")
        << QStringLiteral("Software\\\\Brelko\\Zembra\\Tips")
        << QStringLiteral("Software\\\\Brelko\\Zembra") << QStringLiteral("Tips");
    QTest::newRow("run value")
        << QStringLiteral("Software\\Microsoft\\Windows\\CurrentVersion\\Run\\Zembra")
        << QStringLiteral("Software\\Microsoft\\Windows\\CurrentVersion\\Run")
        << QStringLiteral("Zembra");
    QTest::newRow("no separator") << QStringLiteral("Tips") << QString() << QStringLiteral("Tips");
    QTest::newRow("trailing separator") << QStringLiteral("Software\\Brelko\\Zembra\\")
                                        << QStringLiteral("Software\\Brelko\\Zembra") << QString();
    QTest::newRow("empty") << QString() << QString() << QString();
}

void SettingsTest::fullNameSplitting()
{
    QFETCH(QString, fullName);
    QFETCH(QString, keyPath);
    QFETCH(QString, valueName);
    const auto [splitKey, splitValue] = CSettings::SplitFullName(fullName);
    QCOMPARE(splitKey, keyPath);
    QCOMPARE(splitValue, valueName);

    CRegistryString value(fullName, QString());
    QCOMPARE(value.KeyPath(), keyPath);
    QCOMPARE(value.ValueName(), valueName);
}

void SettingsTest::ownSubKeysAreGroupsWhateverTheCase()
{
    QVERIFY(WriteAll(m_ini, "[General]\nTips=5\n"));
    // Registry key names ignore case: this is still the program's own key.
    CRegistryDword tips(QStringLiteral("SOFTWARE\\brelko\\ZEMBRA\\Tips"), 1);
    QCOMPARE(tips.Get(), 5u);

    CRegistryString recent(QStringLiteral("Software\\Brelko\\Zembra\\Recent File List\\File1"),
                           QString());
    recent = QStringLiteral("/home/ala/a.zmb");
    QSettings ini(m_ini, QSettings::IniFormat);
    QCOMPARE(ini.value(QStringLiteral("Recent File List/File1")).toString(),
             QStringLiteral("/home/ala/a.zmb"));
    QCOMPARE(Stored(m_ini, "Tips"), QByteArray("5"));
    QVERIFY(!ini.contains(QStringLiteral("File1")));
}

void SettingsTest::otherKeysStayInTheRedirectedFile()
{
    CSettings settings;
    QVERIFY(settings.m_regRun.Set(QStringLiteral("/opt/zembra/zembra")));
    QSettings ini(m_ini, QSettings::IniFormat);
    QCOMPARE(
        ini.value(QStringLiteral(
                      "HKEY_CURRENT_USER/Software/Microsoft/Windows/CurrentVersion/Run/Zembra"))
            .toString(),
        QStringLiteral("/opt/zembra/zembra"));
    QCOMPARE(settings.m_regRun.Get(), QStringLiteral("/opt/zembra/zembra"));
    QVERIFY(!ini.contains(QStringLiteral("Zembra")));
    QVERIFY(CSettings::RemoveValue(settings.m_regRun.KeyPath(), settings.m_regRun.ValueName()));
    QCOMPARE(settings.m_regRun.Get(), QString());
    // Removing what is not there is not an error.
    QVERIFY(CSettings::RemoveValue(settings.m_regRun.KeyPath(), settings.m_regRun.ValueName()));
}

void SettingsTest::defaultStoreIsTheConfigHomeFile()
{
    CSettings::SetStorePath(QString());
    QCOMPARE(CSettings::StorePath(), QString());
    const QString file = m_rootConfigHome + QStringLiteral("/Brelko/Zembra.conf");
    QCOMPARE(QSettings(QStringLiteral("Brelko"), QStringLiteral("Zembra")).fileName(), file);
    QFile::remove(file);

    QStringList calls;
    CSettings settings(std::make_unique<RecordingAutostart>(&calls));
    QCOMPARE(settings.m_regTips.Get(), 1u);
    QVERIFY(!QFileInfo::exists(file));
    settings.m_regTips = 0;
    QCOMPARE(Stored(file, "Tips"), QByteArray("0"));
    // Outside Windows the default store has no other user's keys to reach into.
    QVERIFY(!settings.m_regRun.Set(QStringLiteral("/opt/zembra/zembra")));
    QCOMPARE(settings.m_regRun.Get(), QString());
    QVERIFY(!ReadAll(file).contains("Zembra"));
    QVERIFY(!QFileInfo::exists(m_ini));
    QVERIFY(QFile::remove(file));
}

void SettingsTest::dwordIsStoredUnsigned()
{
    CRegistryDword big(QStringLiteral("Software\\Brelko\\Zembra\\Big"), 0);
    big = 0xFFFFFFFFu;
    QCOMPARE(Stored(m_ini, "Big"), QByteArray("4294967295"));
    CRegistryDword again(QStringLiteral("Software\\Brelko\\Zembra\\Big"), 0);
    QCOMPARE(again.Get(), 0xFFFFFFFFu);

    // A signed number left by hand is the same four bytes.
    QVERIFY(WriteAll(m_ini, "[General]\nNeg=-1\n"));
    CRegistryDword negative(QStringLiteral("Software\\Brelko\\Zembra\\Neg"), 0);
    QCOMPARE(negative.Get(), 0xFFFFFFFFu);
}

void SettingsTest::unreadableDwordReadsDefault()
{
    QVERIFY(WriteAll(m_ini, "[General]\nText=abc\nHuge=4294967296\nTooNegative=-2147483649\n"));
    CRegistryDword text(QStringLiteral("Software\\Brelko\\Zembra\\Text"), 7);
    CRegistryDword huge(QStringLiteral("Software\\Brelko\\Zembra\\Huge"), 8);
    CRegistryDword tooNegative(QStringLiteral("Software\\Brelko\\Zembra\\TooNegative"), 9);
    QCOMPARE(text.Get(), 7u);
    QCOMPARE(huge.Get(), 8u);
    QCOMPARE(tooNegative.Get(), 9u);
    // Not read, so not cached: a fixed value is picked up at the next get.
    QVERIFY(WriteAll(m_ini, "[General]\nText=12\n"));
    QCOMPARE(text.Get(), 12u);
}

void SettingsTest::stringEndsAtFirstNul()
{
    {
        QSettings ini(m_ini, QSettings::IniFormat);
        ini.setValue(QStringLiteral("WithNul"), QString::fromUtf16(u"ab\0cd", 5));
        ini.setValue(QStringLiteral("WithComma"), QStringLiteral("/home/a, b.zmb"));
        ini.sync();
        QCOMPARE(ini.status(), QSettings::NoError);
    }
    CRegistryString withNul(QStringLiteral("Software\\Brelko\\Zembra\\WithNul"), QString());
    QCOMPARE(withNul.Get(), QStringLiteral("ab"));
    CRegistryString withComma(QStringLiteral("Software\\Brelko\\Zembra\\WithComma"), QString());
    QCOMPARE(withComma.Get(), QStringLiteral("/home/a, b.zmb"));

    // An unquoted comma typed into the file by hand reads back as typed.
    QVERIFY(WriteAll(m_ini, "[General]\nLastCfg=/home/a, b.zmb\n"));
    CRegistryString handEdited(QStringLiteral("Software\\Brelko\\Zembra\\LastCfg"), QString());
    QCOMPARE(handEdited.Get(), QStringLiteral("/home/a, b.zmb"));

    // Text beyond Latin-1 survives the round trip.
    CRegistryString polish(QStringLiteral("Software\\Brelko\\Zembra\\Polish"), QString());
    polish = QStringLiteral("/home/zażółć/gęślą jaźń.zmb");
    CRegistryString polishAgain(QStringLiteral("Software\\Brelko\\Zembra\\Polish"), QString());
    QCOMPARE(polishAgain.Get(), QStringLiteral("/home/zażółć/gęślą jaźń.zmb"));
}

void SettingsTest::unnamedValueReadsZeroAndCannotBeWritten()
{
    CRegistryDword number;
    CRegistryString text;
    QCOMPARE(number.Get(), 0u);
    QCOMPARE(text.Get(), QString());
    QVERIFY(!number.Set(5));
    QVERIFY(!text.Set(QStringLiteral("x")));
    QVERIFY(!QFileInfo::exists(m_ini));
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

void SettingsTest::unwritableStoreOnFreshProfileReadsDefault()
{
    const QString blocked = BlockedStore();
    QVERIFY(!blocked.isEmpty());
    CSettings::SetStorePath(blocked);
    CSettings settings;
    QVERIFY(!settings.m_regTips.Set(0));
    // The failed write left the read flag unset, so the get asks the store, which has nothing.
    QCOMPARE(settings.m_regTips.Get(), 1u);
    QVERIFY(!QFileInfo::exists(blocked));
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

void SettingsTest::setAutostartOneRewritesExistingFile()
{
    QVERIFY(WriteAll(m_ini, "[General]\nAutostart=1\n"));
    QVERIFY(QDir().mkpath(QFileInfo(AutostartFile()).absolutePath()));
    QVERIFY(WriteAll(AutostartFile(), "[Desktop Entry]\nExec=/old/place/zembra\n"));

    CSettings settings;
    settings.m_strProgramPath = QStringLiteral("/opt/a\"b$c/zembra");
    QCOMPARE(settings.SetAutostart(1), 0);
    const QByteArray contents = ReadAll(AutostartFile());
    QVERIFY2(contents.contains("\nExec=\"/opt/a\\\\\"b\\\\$c/zembra\"\n"), contents.constData());
    QVERIFY(!contents.contains("/old/place"));
    // Autostart already held 1: nothing to write there.
    QCOMPARE(ReadAll(m_ini), QByteArray("[General]\nAutostart=1\n"));
}

void SettingsTest::setAutostartZeroWithoutFileStoresZero()
{
    CSettings settings;
    settings.m_strProgramPath = QStringLiteral("/usr/bin/zembra");
    QCOMPARE(settings.SetAutostart(0), 0);
    QCOMPARE(Stored(m_ini, "Autostart"), QByteArray("0"));
    QVERIFY(!QFileInfo::exists(m_configHome));
}

void SettingsTest::setAutostartZeroRemovesFile()
{
    CSettings settings;
    settings.m_strProgramPath = QStringLiteral("/usr/bin/zembra");
    QCOMPARE(settings.SetAutostart(1), 0);
    QVERIFY(ReadAll(AutostartFile()).contains("\nExec=/usr/bin/zembra\n"));
    QCOMPARE(settings.SetAutostart(0), 0);
    QVERIFY(!QFileInfo::exists(AutostartFile()));
    QCOMPARE(Stored(m_ini, "Autostart"), QByteArray("0"));
    QCOMPARE(settings.m_regAutostart.Get(), 0u);
}

void SettingsTest::setAutostartFollowsWhatTheStoreHolds()
{
    QStringList calls;
    {
        CSettings settings(std::make_unique<RecordingAutostart>(&calls));
        settings.m_strProgramPath = QStringLiteral("/usr/bin/zembra");
        QVERIFY(calls.isEmpty());
        // Only exactly 1 means start at logon.
        settings.SetAutostart(2);
        QCOMPARE(Stored(m_ini, "Autostart"), QByteArray("2"));
        settings.SetAutostart(1);
        QCOMPARE(calls, QStringList(
                            {QStringLiteral("remove"), QStringLiteral("install /usr/bin/zembra")}));
    }

    // On a fresh profile whose store cannot be written the value reads back as 0, so the entry
    // is removed rather than left behind a setting the user will never see as on.
    calls.clear();
    const QString blocked = BlockedStore();
    QVERIFY(!blocked.isEmpty());
    CSettings::SetStorePath(blocked);
    CSettings unwritable(std::make_unique<RecordingAutostart>(&calls));
    unwritable.m_strProgramPath = QStringLiteral("/usr/bin/zembra");
    unwritable.SetAutostart(1);
    QCOMPARE(calls, QStringList({QStringLiteral("remove")}));
}

void SettingsTest::xdgEntryInGivenFolder()
{
    QCOMPARE(XdgAutostartEntry().FilePath(), AutostartFile());

    const QString folder = m_dir->filePath(QStringLiteral("elsewhere/autostart"));
    XdgAutostartEntry entry(folder);
    QCOMPARE(entry.FilePath(), folder + QStringLiteral("/zembra.desktop"));
    QVERIFY(entry.Remove());
    // Exec="" would be an invalid desktop file.
    QVERIFY(!entry.Install(QString()));
    QVERIFY(!QFileInfo::exists(entry.FilePath()));
    QVERIFY(entry.Install(QStringLiteral("/usr/bin/zembra")));
    QCOMPARE(ReadAll(entry.FilePath()),
             XdgAutostartEntry::FileContents(QStringLiteral("/usr/bin/zembra")));
    QVERIFY(entry.Remove());
    QVERIFY(!QFileInfo::exists(entry.FilePath()));

    // A folder that cannot be created fails the install.
    const QString blocked = BlockedStore();
    QVERIFY(!blocked.isEmpty());
    XdgAutostartEntry blockedEntry(blocked);
    QVERIFY(!blockedEntry.Install(QStringLiteral("/usr/bin/zembra")));
}

void SettingsTest::execValue_data()
{
    QTest::addColumn<QString>("programPath");
    QTest::addColumn<QString>("exec");

    QTest::newRow("plain") << QStringLiteral("/usr/bin/zembra")
                           << QStringLiteral("/usr/bin/zembra");
    QTest::newRow("space") << QStringLiteral("/opt/My Apps/zembra")
                           << QString::fromUtf8(R"("/opt/My Apps/zembra")");
    QTest::newRow("quote and dollar") << QString::fromUtf8(R"(/opt/a"b$c/zembra)")
                                      << QString::fromUtf8(R"("/opt/a\\"b\\$c/zembra")");
    QTest::newRow("backslash") << QString::fromUtf8(R"(/opt/back\slash/zembra)")
                               << QString::fromUtf8(R"("/opt/back\\\\slash/zembra")");
    QTest::newRow("backtick") << QStringLiteral("/opt/`x`/zembra")
                              << QString::fromUtf8(R"("/opt/\\`x\\`/zembra")");
    QTest::newRow("single quote") << QStringLiteral("/home/it's/zembra")
                                  << QString::fromUtf8(R"("/home/it's/zembra")");
    QTest::newRow("tilde") << QStringLiteral("/home/~ala/zembra")
                           << QString::fromUtf8(R"("/home/~ala/zembra")");
    QTest::newRow("percent") << QStringLiteral("/opt/100%/zembra")
                             << QStringLiteral("/opt/100%%/zembra");
    QTest::newRow("percent in quotes")
        << QStringLiteral("/opt/100 %/zembra") << QString::fromUtf8(R"("/opt/100 %%/zembra")");
    QTest::newRow("newline") << QStringLiteral("/opt/a\nb/zembra")
                             << QString::fromUtf8(R"("/opt/a\nb/zembra")");
    QTest::newRow("non-ASCII") << QStringLiteral("/home/żółw/zembra")
                               << QStringLiteral("/home/żółw/zembra");
}

void SettingsTest::execValue()
{
    QFETCH(QString, programPath);
    QFETCH(QString, exec);
    QCOMPARE(XdgAutostartEntry::ExecValue(programPath), exec);
}

void SettingsTest::execValueRoundTrip_data()
{
    QTest::addColumn<QString>("programPath");
    const QString paths[] = {
        QStringLiteral("/usr/bin/zembra"),
        QStringLiteral("/opt/My Apps/zembra"),
        QString::fromUtf8(R"(/opt/"quoted"/zembra)"),
        QString::fromUtf8(R"(/opt/$HOME/`id`/zembra)"),
        QString::fromUtf8(R"(/opt/\\double\/zembra)"),
        QStringLiteral("/opt/a;b&c|d<e>f*g?h#i(j)k/zembra"),
        QStringLiteral("/opt/tab\there/zembra"),
        QStringLiteral("/opt/cr\rhere/zembra"),
        QStringLiteral("/opt/%f %% %/zembra"),
        QStringLiteral("/opt/end with backslash\\"),
    };
    for (const QString& path : paths) {
        QTest::newRow(path.toUtf8().constData()) << path;
    }
}

void SettingsTest::execValueRoundTrip()
{
    QFETCH(QString, programPath);
    const QString exec = XdgAutostartEntry::ExecValue(programPath);
    QVERIFY(!exec.contains(u'\n'));
    QCOMPARE(DecodeExec(exec), QStringList{programPath});
}

void SettingsTest::opacityFromTransparency_data()
{
    QTest::addColumn<unsigned>("percent");
    QTest::addColumn<unsigned>("opacity");
    QTest::newRow("0") << 0u << 255u;
    QTest::newRow("30") << 30u << 178u;
    QTest::newRow("50") << 50u << 127u;
    QTest::newRow("90") << 90u << 25u;
    QTest::newRow("99") << 99u << 2u;
    QTest::newRow("100") << 100u << 0u;
    QTest::newRow("150") << 150u << 0u;
    QTest::newRow("max") << 0xFFFFFFFFu << 0u;
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
