#pragma once

// The profile of a real zembra (or zembractl) that a test starts: its settings written before
// the start, its runtime and temporary files in the test's folder, offscreen, and its log lines
// on standard error, which tests wait for instead of waiting for a time.

#include <QDir>
#include <QFile>
#include <QProcessEnvironment>

namespace zembra::test {

// `folder` must be the test's own (a QTemporaryDir: only its owner may enter it); `settings`
// are lines of the [General] group.
inline QProcessEnvironment ProgramProfile(const QString& folder, const QByteArray& settings)
{
    QDir(folder).mkpath(QStringLiteral("config/Brelko"));
    QFile file(folder + QStringLiteral("/config/Brelko/Zembra.conf"));
    if (file.open(QIODevice::WriteOnly)) {
        file.write("[General]\n" + settings);
    }
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), folder + QStringLiteral("/config"));
    // Recovery copies of unsaved lists.
    env.insert(QStringLiteral("XDG_DATA_HOME"), folder + QStringLiteral("/data"));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), folder);
    env.insert(QStringLiteral("TMPDIR"), folder); // the single-instance socket lives here
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("zembra.*.info=true"));
    return env;
}

} // namespace zembra::test
