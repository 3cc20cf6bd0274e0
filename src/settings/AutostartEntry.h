#pragma once

// The per-user entry that starts the program when the user logs on.

#include <QByteArray>
#include <QString>

#include <memory>

namespace zembra {

class CRegistryString;

class AutostartEntry {
public:
    virtual ~AutostartEntry() = default;

    // Creates the entry, or rewrites it when it exists, so that logging on starts `programPath`
    // with no arguments; false when it could not be written.
    virtual bool Install(const QString& programPath) = 0;
    // Removes the entry; a missing entry is not an error.
    virtual bool Remove() = 0;

    // The platform's entry: an XDG autostart file, or on Windows the Run value held by `run`.
    static std::unique_ptr<AutostartEntry> CreateForPlatform(CRegistryString& run);
};

// The freedesktop.org way: a desktop file in the user's autostart folder.
class XdgAutostartEntry final : public AutostartEntry {
public:
    // `autostartDir` empty: the user's autostart folder, $XDG_CONFIG_HOME/autostart, looked up at
    // each use.
    explicit XdgAutostartEntry(QString autostartDir = {});

    bool Install(const QString& programPath) override;
    bool Remove() override;

    // The desktop file this entry writes.
    QString FilePath() const;

    // The Exec= value that runs `programPath` with no arguments: quoted where the desktop entry
    // format reserves a character, and escaped again as a string value.
    static QString ExecValue(const QString& programPath);
    // The whole desktop file, UTF-8.
    static QByteArray FileContents(const QString& programPath);

private:
    QString m_strAutostartDir;
};

} // namespace zembra
