#include "AutostartEntry.h"

#include "CRegistryString.h"
#include "CSettings.h"
#ifdef Q_OS_WIN
#include "windows/RunValueAutostart.h"
#endif

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

#include <algorithm>
#include <string_view>

namespace zembra {

namespace {

// The characters the desktop entry format reserves in Exec: an argument holding any of them
// must be quoted. A carriage return is not among them, but quoting is always allowed and keeps
// it from ever splitting the argument.
bool NeedsQuoting(const QString& argument)
{
    static constexpr std::u16string_view reserved = u" \t\n\r\"'\\><~|&;$*?#()`";
    if (argument.isEmpty()) {
        return true;
    }
    return std::any_of(argument.cbegin(), argument.cend(), [](QChar c) {
        return reserved.find(c.unicode()) != std::u16string_view::npos;
    });
}

// Exec is first unescaped as a string value, then split into quoted arguments, so quoting
// happens first and the string-value escapes go over the result.
QString EscapeStringValue(const QString& text)
{
    QString escaped;
    escaped.reserve(text.size() + text.size() / 4);
    for (const QChar c : text) {
        switch (c.unicode()) {
        case u'\\':
            escaped += QLatin1String("\\\\");
            break;
        case u'\n':
            escaped += QLatin1String("\\n");
            break;
        case u'\t':
            escaped += QLatin1String("\\t");
            break;
        case u'\r':
            escaped += QLatin1String("\\r");
            break;
        default:
            escaped += c;
        }
    }
    return escaped;
}

#ifdef Q_OS_WIN
// The Run value, written through the registry API: the executable's path in double quotes, so
// that a path with spaces is not split into a program and its arguments.
class RunValueAutostartEntry final : public AutostartEntry {
public:
    bool Install(const QString& programPath) override
    {
        return m_run.Install(QDir::toNativeSeparators(programPath).toStdString());
    }
    bool Remove() override { return m_run.Remove(); }

private:
    RunValueAutostart m_run;
};
#endif

} // namespace

std::unique_ptr<AutostartEntry> AutostartEntry::CreateForPlatform(CRegistryString& run)
{
#ifdef Q_OS_WIN
    Q_UNUSED(run);
    return std::make_unique<RunValueAutostartEntry>();
#else
    Q_UNUSED(run);
    return std::make_unique<XdgAutostartEntry>();
#endif
}

XdgAutostartEntry::XdgAutostartEntry(QString autostartDir)
    : m_strAutostartDir(std::move(autostartDir))
{
}

QString XdgAutostartEntry::FilePath() const
{
    QString dir = m_strAutostartDir;
    if (dir.isEmpty()) {
        const QString config =
            QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
        // Without a home there is no per-user autostart folder; "/autostart" is not one.
        if (config.isEmpty()) {
            return {};
        }
        dir = config + QStringLiteral("/autostart");
    }
    return dir + QStringLiteral("/zembra.desktop");
}

bool XdgAutostartEntry::Install(const QString& programPath)
{
    // Exec="" would make the desktop file invalid; logon starts nothing either way.
    const QString path = FilePath();
    if (programPath.isEmpty() || path.isEmpty()) {
        return false;
    }
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
        return false;
    }
    // A session reading the folder at logon must never see half a file.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return false;
    }
    const QByteArray contents = FileContents(programPath);
    if (file.write(contents) != contents.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

bool XdgAutostartEntry::Remove()
{
    const QString path = FilePath();
    if (path.isEmpty()) {
        return true;
    }
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink()) {
        return true;
    }
    return QFile::remove(path);
}

QString XdgAutostartEntry::ExecValue(const QString& programPath)
{
    QString argument;
    if (NeedsQuoting(programPath)) {
        argument.reserve(programPath.size() + 2);
        argument += u'"';
        for (const QChar c : programPath) {
            if (c == u'"' || c == u'`' || c == u'$' || c == u'\\') {
                argument += u'\\';
            }
            argument += c;
        }
        argument += u'"';
    } else {
        argument = programPath;
    }
    // A single percent sign would start a field code.
    argument.replace(u'%', QLatin1String("%%"));
    return EscapeStringValue(argument);
}

QByteArray XdgAutostartEntry::FileContents(const QString& programPath)
{
    QString text;
    text += QStringLiteral("[Desktop Entry]\n");
    text += QStringLiteral("Type=Application\n");
    text += QStringLiteral("Name=Zembra\n");
    text += QStringLiteral("Comment=Alarm clock and power scheduler\n");
    text += QStringLiteral("Comment[pl]=Budzik i harmonogram zasilania\n");
    text += QStringLiteral("Exec=") + ExecValue(programPath) + u'\n';
    text += QStringLiteral("Icon=zembra\n");
    text += QStringLiteral("Terminal=false\n");
    text += QStringLiteral("X-GNOME-Autostart-enabled=true\n");
    return text.toUtf8();
}

} // namespace zembra
