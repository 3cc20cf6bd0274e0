#include "CRegistryDword.h"

#include "CSettings.h"

#include <QVariant>

#include <limits>
#include <optional>

namespace zembra {

namespace {

// A DWORD is four bytes whatever its sign: QSettings hands one back as an int from the Windows
// registry and as text from an ini file, where a hand edit may have left a negative number.
std::optional<quint32> ToDword(const QVariant& stored)
{
    bool ok = false;
    const qlonglong number = stored.toLongLong(&ok);
    if (!ok || number < std::numeric_limits<qint32>::min()
        || number > std::numeric_limits<quint32>::max()) {
        return std::nullopt;
    }
    return static_cast<quint32>(number);
}

} // namespace

CRegistryDword::CRegistryDword(const QString& fullName, quint32 defaultValue, bool force)
{
    Open(fullName, defaultValue, force);
}

void CRegistryDword::Open(const QString& fullName, quint32 defaultValue, bool force)
{
    auto [keyPath, valueName] = CSettings::SplitFullName(fullName);
    m_strKeyPath = std::move(keyPath);
    m_strValueName = std::move(valueName);
    m_dwDefault = defaultValue;
    m_bForce = force;
    m_dwValue = 0;
    m_bRead = false;
    Read();
}

quint32 CRegistryDword::Get() const
{
    if (m_bRead && !m_bForce) {
        return m_dwValue;
    }
    return Read();
}

bool CRegistryDword::Set(quint32 value)
{
    if (m_bRead && !m_bForce && value == m_dwValue) {
        return true;
    }
    m_dwValue = value;
    return Write();
}

quint32 CRegistryDword::Read() const
{
    const std::optional<QVariant> stored = CSettings::ReadValue(m_strKeyPath, m_strValueName);
    const std::optional<quint32> value = stored ? ToDword(*stored) : std::nullopt;
    if (!value) {
        return m_dwDefault;
    }
    m_dwValue = *value;
    m_bRead = true;
    return *value;
}

bool CRegistryDword::Write()
{
    // Stored as an unsigned number so that the registry gets a REG_DWORD.
    const QVariant value = QVariant::fromValue(m_dwValue.load());
    if (!CSettings::WriteValue(m_strKeyPath, m_strValueName, value)) {
        return false;
    }
    m_bRead = true;
    return true;
}

} // namespace zembra
