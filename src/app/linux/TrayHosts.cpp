#include "TrayHosts.h"

#include <QByteArray>
#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusReply>
#include <QDBusVariant>
#include <QGuiApplication>
#include <QtGui/qguiapplication_platform.h>

#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>

namespace zembra {

bool StatusNotifierHostPresent()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        return false;
    }
    QDBusInterface properties(QStringLiteral("org.kde.StatusNotifierWatcher"),
                              QStringLiteral("/StatusNotifierWatcher"),
                              QStringLiteral("org.freedesktop.DBus.Properties"), bus);
    properties.setTimeout(1000);
    const QDBusReply<QDBusVariant> reply =
        properties.call(QStringLiteral("Get"), QStringLiteral("org.kde.StatusNotifierWatcher"),
                        QStringLiteral("IsStatusNotifierHostRegistered"));
    return reply.isValid() && reply.value().variant().toBool();
}

bool XEmbedTrayPresent()
{
    const auto* x11 = qGuiApp != nullptr
                          ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>()
                          : nullptr;
    if (x11 == nullptr || x11->connection() == nullptr) {
        return false;
    }
    xcb_connection_t* connection = x11->connection();
    const QByteArray name = "_NET_SYSTEM_TRAY_S0";
    const std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> atom(
        xcb_intern_atom_reply(
            connection,
            xcb_intern_atom(connection, 1, static_cast<uint16_t>(name.size()), name.constData()),
            nullptr),
        &std::free);
    if (!atom || atom->atom == XCB_ATOM_NONE) {
        return false;
    }
    const std::unique_ptr<xcb_get_selection_owner_reply_t, decltype(&std::free)> owner(
        xcb_get_selection_owner_reply(connection, xcb_get_selection_owner(connection, atom->atom),
                                      nullptr),
        &std::free);
    return owner && owner->owner != XCB_NONE;
}

QRect XWindowOnScreen(quintptr window)
{
    const auto* x11 = qGuiApp != nullptr
                          ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>()
                          : nullptr;
    if (x11 == nullptr || x11->connection() == nullptr || window == 0) {
        return {};
    }
    xcb_connection_t* connection = x11->connection();
    const auto id = static_cast<xcb_window_t>(window);
    const std::unique_ptr<xcb_get_geometry_reply_t, decltype(&std::free)> geometry(
        xcb_get_geometry_reply(connection, xcb_get_geometry(connection, id), nullptr), &std::free);
    if (!geometry) {
        return {};
    }
    const std::unique_ptr<xcb_translate_coordinates_reply_t, decltype(&std::free)> onRoot(
        xcb_translate_coordinates_reply(
            connection, xcb_translate_coordinates(connection, id, geometry->root, 0, 0), nullptr),
        &std::free);
    if (!onRoot) {
        return {};
    }
    // X counts device pixels; the widgets' coordinates are scaled by the device pixel ratio.
    const qreal ratio = qGuiApp->devicePixelRatio();
    return QRect(QPoint(qRound(onRoot->dst_x / ratio), qRound(onRoot->dst_y / ratio)),
                 QSize(qRound(geometry->width / ratio), qRound(geometry->height / ratio)));
}

} // namespace zembra
