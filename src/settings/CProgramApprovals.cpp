#include "CProgramApprovals.h"

#include "CSettings.h"

#include <QCryptographicHash>
#include <QStringList>

namespace zembra {

namespace {

QString KeyPath()
{
    return QStringLiteral("Software\\Brelko\\Zembra");
}

QString ValueName()
{
    return QStringLiteral("ApprovedPrograms");
}

QStringList Stored()
{
    const std::optional<QVariant> value = CSettings::ReadValue(KeyPath(), ValueName());
    return value ? value->toStringList() : QStringList();
}

} // namespace

QString CProgramApprovals::Digest(const std::string& commandLine)
{
    return QString::fromLatin1(
        QCryptographicHash::hash(QByteArray::fromStdString(commandLine), QCryptographicHash::Sha256)
            .toHex());
}

bool CProgramApprovals::IsApproved(const std::string& commandLine) const
{
    return Stored().contains(Digest(commandLine));
}

bool CProgramApprovals::Approve(const std::vector<std::string>& commandLines)
{
    QStringList stored = Stored();
    const qsizetype before = stored.size();
    for (const std::string& commandLine : commandLines) {
        const QString digest = Digest(commandLine);
        if (!stored.contains(digest)) {
            stored << digest;
        }
    }
    return stored.size() == before || CSettings::WriteValue(KeyPath(), ValueName(), stored);
}

} // namespace zembra
