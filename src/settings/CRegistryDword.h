#pragma once

// One 32-bit option in the settings store, addressed by its registry-style full name
// (`Software\Brelko\Zembra\Tips`). The value is cached after the first successful read or write,
// so reading an option costs nothing once it is known, and every assignment that changes it is
// written at once: nothing is left to save at shutdown.

#include <QString>
#include <QtGlobal>

#include <atomic>

namespace zembra {

class CRegistryDword {
public:
    // An unnamed value: it reads as 0 and cannot be written until Open() names it.
    CRegistryDword() = default;
    // Names the value and reads it once.
    CRegistryDword(const QString& fullName, quint32 defaultValue, bool force = false);
    CRegistryDword(const CRegistryDword&) = delete;
    CRegistryDword& operator=(const CRegistryDword&) = delete;

    // Points this object at another value: the cache and the read flag start over, then the
    // value is read once. Only for the owner's construction, before other threads see it.
    void Open(const QString& fullName, quint32 defaultValue, bool force = false);

    // The cached value once a read or a write has succeeded (unless forced), else a fresh read.
    quint32 Get() const;
    operator quint32() const { return Get(); }

    // Caches `value` and writes it, unless it is known to be stored already (a forced value is
    // always written). False only when a write was needed and the store refused it.
    bool Set(quint32 value);
    CRegistryDword& operator=(quint32 value)
    {
        Set(value);
        return *this;
    }

    // The stored value, which then becomes the cached one; the default when it cannot be read,
    // leaving the cache and the read flag as they were.
    quint32 Read() const;
    // Stores the cached value; false when the store refused it (the cache keeps the value).
    bool Write();

    const QString& KeyPath() const { return m_strKeyPath; }
    const QString& ValueName() const { return m_strValueName; }
    quint32 Default() const { return m_dwDefault; }
    bool IsForced() const { return m_bForce; }

private:
    QString m_strValueName;
    QString m_strKeyPath;
    // The alerter thread reads some options while the settings dialog assigns them; each is one
    // word read or written whole, so atomics are all the sharing needs.
    mutable std::atomic<quint32> m_dwValue{0};
    quint32 m_dwDefault = 0;
    mutable std::atomic<bool> m_bRead{false};
    bool m_bForce = false;
};

} // namespace zembra
