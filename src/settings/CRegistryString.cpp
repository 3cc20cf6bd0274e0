#include "CRegistryString.h"

#include "CSettings.h"

#include <QStringList>
#include <QVariant>

#include <optional>

namespace zembra {

CRegistryString::CRegistryString(const QString& fullName, const QString& defaultValue, bool force)
{
    Open(fullName, defaultValue, force);
}

void CRegistryString::Open(const QString& fullName, const QString& defaultValue, bool force)
{
    auto [keyPath, valueName] = CSettings::SplitFullName(fullName);
    m_strKeyPath = std::move(keyPath);
    m_strValueName = std::move(valueName);
    m_strDefault = defaultValue;
    m_bForce = force;
    m_strValue.clear();
    m_bRead = false;
    Read();
}

QString CRegistryString::Get() const
{
    if (m_bRead && !m_bForce) {
        return m_strValue;
    }
    return Read();
}

bool CRegistryString::Set(const QString& value)
{
    if (m_bRead && !m_bForce && value == m_strValue) {
        return true;
    }
    m_strValue = value;
    return Write();
}

QString CRegistryString::Read() const
{
    const std::optional<QVariant> stored = CSettings::ReadValue(m_strKeyPath, m_strValueName);
    if (!stored) {
        return m_strDefault;
    }
    // An ini value with an unquoted comma comes back as a list (QSettings itself quotes such
    // text); joining it again keeps a hand-edited path whole.
    QString text = stored->typeId() == QMetaType::QStringList
                       ? stored->toStringList().join(QStringLiteral(", "))
                       : stored->toString();
    // Registry strings end at their first NUL; a value edited in by other means may hold one.
    const qsizetype nul = text.indexOf(QChar(u'\0'));
    if (nul >= 0) {
        text.truncate(nul);
    }
    m_strValue = text;
    m_bRead = true;
    return text;
}

bool CRegistryString::Write()
{
    if (!CSettings::WriteValue(m_strKeyPath, m_strValueName, QVariant(m_strValue))) {
        return false;
    }
    m_bRead = true;
    return true;
}

} // namespace zembra
