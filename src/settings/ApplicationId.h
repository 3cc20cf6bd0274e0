#pragma once

// The one name Zembra goes by on the desktop: the desktop entry is "<id>.desktop" (which the
// program names as its desktop file name), the AppStream id is the same, and the running
// program's interface on the session bus is owned under it. Tools that find the program by
// name (zembractl, gdbus, a keyboard shortcut) rely on these staying as they are.

namespace zembra {

inline constexpr char kApplicationId[] = "org.brelko.Zembra";
inline constexpr char kDBusObjectPath[] = "/org/brelko/Zembra";
inline constexpr char kDBusInterface[] = "org.brelko.Zembra";

// The errors of the interface besides the bus's own InvalidArgs (a bad argument).
inline constexpr char kDBusErrorFile[] = "org.brelko.Zembra.Error.FileError";
inline constexpr char kDBusErrorNotAlarmList[] = "org.brelko.Zembra.Error.NotAnAlarmList";
inline constexpr char kDBusErrorRefused[] = "org.brelko.Zembra.Error.Refused";
inline constexpr char kDBusErrorNotAvailable[] = "org.brelko.Zembra.Error.NotAvailable";

} // namespace zembra
