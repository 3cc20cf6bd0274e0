#pragma once

// Whether the desktop has somewhere to show a tray icon, found out without asking Qt: Qt decides
// once per process, when its first tray icon is made, whether it talks to a StatusNotifier host
// or embeds into an XEmbed tray, and a panel that comes up later would never be used. So the
// program looks itself and makes its icon only once a host is there.

#include <QRect>

namespace zembra {

// A StatusNotifier watcher with a host registered, on the session bus.
bool StatusNotifierHostPresent();
// An XEmbed system tray (the owner of the _NET_SYSTEM_TRAY selection of the X display).
bool XEmbedTrayPresent();
// Where an X window is on the screen. An icon embedded into an XEmbed tray is a child of the
// tray's window, and Qt only knows its place inside the tray. Empty without X or that window.
QRect XWindowOnScreen(quintptr window);

} // namespace zembra
