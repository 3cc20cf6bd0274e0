#include "CRecoveryStore.h"

#include "model/CScheduler.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace zembra {

namespace {

QString CopyPath()
{
    return QDir(CRecoveryStore::Folder()).filePath(QStringLiteral("unsaved.zmb"));
}

QString InfoPath()
{
    return QDir(CRecoveryStore::Folder()).filePath(QStringLiteral("unsaved.ini"));
}

} // namespace

QString CRecoveryStore::Folder()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation))
        .filePath(QStringLiteral("recovery"));
}

bool CRecoveryStore::Save(CScheduler& list, const QString& original)
{
    if (!QDir().mkpath(Folder())) {
        return false;
    }
    // The path first: a copy without it would be offered as a list never saved.
    QSettings info(InfoPath(), QSettings::IniFormat);
    info.setValue(QStringLiteral("original"), original);
    info.sync();
    if (info.status() != QSettings::NoError) {
        return false;
    }
    return list.SaveToFile(QFile::encodeName(CopyPath()).toStdString()) == 0;
}

std::optional<CRecoveryStore::Entry> CRecoveryStore::Find()
{
    if (!QFileInfo::exists(CopyPath())) {
        return std::nullopt;
    }
    const QSettings info(InfoPath(), QSettings::IniFormat);
    return Entry{CopyPath(), info.value(QStringLiteral("original")).toString()};
}

void CRecoveryStore::Discard()
{
    QFile::remove(CopyPath());
    QFile::remove(InfoPath());
}

} // namespace zembra
