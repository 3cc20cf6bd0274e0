#include "CTimeZoneWatcher.h"

namespace zembra {

TimeZoneSources SystemTimeZoneSources()
{
    TimeZoneSources sources;
    // timedatectl replaces the link /etc/localtime (Debian also writes /etc/timezone), and
    // systemd-timedated announces the new zone on the system bus.
    sources.files = {QStringLiteral("/etc/localtime"), QStringLiteral("/etc/timezone")};
    sources.service = QStringLiteral("org.freedesktop.timedate1");
    sources.path = QStringLiteral("/org/freedesktop/timedate1");
    sources.interface = QStringLiteral("org.freedesktop.timedate1");
    return sources;
}

} // namespace zembra
