#pragma once

// One text option in the settings store, addressed by its registry-style full name
// (`Software\Brelko\Zembra\LastCfg`). Cached after the first successful read or write; every
// assignment that changes it is written at once.

#include <QString>

namespace zembra {

class CRegistryString {
public:
    // An unnamed value: it reads as empty and cannot be written until Open() names it.
    CRegistryString() = default;
    // Names the value and reads it once.
    CRegistryString(const QString& fullName, const QString& defaultValue, bool force = false);
    CRegistryString(const CRegistryString&) = delete;
    CRegistryString& operator=(const CRegistryString&) = delete;

    // Points this object at another value: the cache and the read flag start over, then the
    // value is read once.
    void Open(const QString& fullName, const QString& defaultValue, bool force = false);

    // The cached value once a read or a write has succeeded (unless forced), else a fresh read.
    QString Get() const;
    operator QString() const { return Get(); }

    // Caches `value` and writes it, unless it is known to be stored already (a forced value is
    // always written). False only when a write was needed and the store refused it.
    bool Set(const QString& value);
    CRegistryString& operator=(const QString& value)
    {
        Set(value);
        return *this;
    }

    // The stored text up to its first NUL, which then becomes the cached value; the default
    // when it cannot be read, leaving the cache and the read flag as they were.
    QString Read() const;
    // Stores the cached value; false when the store refused it (the cache keeps the value).
    bool Write();

    const QString& KeyPath() const { return m_strKeyPath; }
    const QString& ValueName() const { return m_strValueName; }
    const QString& Default() const { return m_strDefault; }
    bool IsForced() const { return m_bForce; }

private:
    QString m_strValueName;
    QString m_strKeyPath;
    mutable QString m_strValue;
    QString m_strDefault;
    mutable bool m_bRead = false;
    bool m_bForce = false;
};

} // namespace zembra
