#include "CTipsFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace zembra {

namespace {

QStringList& TipsList()
{
    static QStringList s_listTips;
    return s_listTips;
}

} // namespace

bool CTipsFile::LoadTips(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return false;
    }
    TipsList() = ParseTips(file.read(kMaxFileBytes));
    return true;
}

const QStringList& CTipsFile::Tips()
{
    return TipsList();
}

QStringList CTipsFile::ParseTips(const QByteArray& bytes)
{
    // This program's tips files are UTF-8. The quote is a single byte that never occurs inside
    // a multi-byte sequence, so the pairs are found on the bytes and each tip is decoded alone;
    // a character cut at the size limit can only fall into an unclosed pair, which is dropped.
    const QByteArray head = bytes.left(kMaxFileBytes);
    QStringList tips;
    qsizetype pos = 0;
    for (;;) {
        const qsizetype open = head.indexOf('"', pos);
        if (open < 0) {
            break;
        }
        const qsizetype close = head.indexOf('"', open + 1);
        if (close < 0) {
            break; // an unclosed quote ends the reading
        }
        tips.append(QString::fromUtf8(head.constData() + open + 1, close - open - 1));
        pos = close + 1;
    }
    return tips;
}

QString CTipsFile::TipsFilePath(const QString& fileName)
{
    const QString programDir = QCoreApplication::applicationDirPath();
    const QString installed =
        QDir::cleanPath(programDir + QStringLiteral("/../share/zembra/") + fileName);
    if (QFileInfo::exists(installed)) {
        return installed;
    }
    const QString besideProgram = QDir(programDir).filePath(fileName);
    if (QFileInfo::exists(besideProgram)) {
        return besideProgram;
    }
    const QString located = QStandardPaths::locate(QStandardPaths::GenericDataLocation,
                                                   QStringLiteral("zembra/") + fileName);
    return located.isEmpty() ? besideProgram : located;
}

} // namespace zembra
