#include "LogindPowerRequests.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusError>
#include <QDBusMessage>
#include <QString>
#include <QVariant>

namespace zembra {

namespace {

const QString kLogindService = QStringLiteral("org.freedesktop.login1");
const QString kLogindPath = QStringLiteral("/org/freedesktop/login1");
const QString kLogindInterface = QStringLiteral("org.freedesktop.login1.Manager");

const QString kScreenSaverService = QStringLiteral("org.freedesktop.ScreenSaver");
const QString kScreenSaverInterface = QStringLiteral("org.freedesktop.ScreenSaver");
// Desktops publish the screen saver under the full path; some older ones only under the
// short one.
const QString kScreenSaverPath = QStringLiteral("/org/freedesktop/ScreenSaver");
const QString kScreenSaverLegacyPath = QStringLiteral("/ScreenSaver");

std::string ErrorText(const QString& name, const QString& message)
{
    if (name.isEmpty()) {
        return message.toStdString();
    }
    if (message.isEmpty()) {
        return name.toStdString();
    }
    return (name + QStringLiteral(": ") + message).toStdString();
}

std::string ErrorText(const QDBusMessage& reply)
{
    return ErrorText(reply.errorName(), reply.errorMessage());
}

std::string ErrorText(const QDBusError& error)
{
    return ErrorText(error.name(), error.message());
}

// The bus answers for a service that is not there, and a call without an answer ends in its
// own error; those are told apart from the service's refusal so the user knows what to fix.
bool IsServiceMissing(const QDBusMessage& reply)
{
    const QDBusError::ErrorType type = QDBusError(reply).type();
    return type == QDBusError::ServiceUnknown || type == QDBusError::NoServer
           || reply.errorName() == QLatin1String("org.freedesktop.DBus.Error.NameHasNoOwner");
}

bool IsNoReply(const QDBusMessage& reply)
{
    const QDBusError::ErrorType type = QDBusError(reply).type();
    return type == QDBusError::NoReply || type == QDBusError::Timeout
           || type == QDBusError::TimedOut;
}

bool IsObjectMissing(const QDBusMessage& reply)
{
    const QDBusError::ErrorType type = QDBusError(reply).type();
    return type == QDBusError::UnknownObject || type == QDBusError::UnknownInterface
           || type == QDBusError::UnknownMethod;
}

} // namespace

LogindPowerRequests::LogindPowerRequests(int timeoutMs)
    : m_timeoutMs(timeoutMs)
{
}

PowerResult LogindPowerRequests::Standby()
{
    return CallLogind("Suspend");
}

PowerResult LogindPowerRequests::Hibernate()
{
    return CallLogind("Hibernate");
}

PowerResult LogindPowerRequests::Shutdown()
{
    return CallLogind("PowerOff");
}

PowerResult LogindPowerRequests::CallLogind(const char* method) const
{
    // The shared connection is thread-safe; building the message and making a blocking call
    // on it needs no object bound to the calling thread.
    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected()) {
        return PowerResult::Failed("The system bus is not available, so logind cannot be asked ("
                                   + ErrorText(bus.lastError()) + ")");
    }
    QDBusMessage call = QDBusMessage::createMethodCall(kLogindService, kLogindPath,
                                                       kLogindInterface, QLatin1String(method));
    // Not interactive: the request is made when an alarm fires, often with nobody at the
    // machine to answer a password prompt, so logind must decide from its policy alone.
    call.setArguments({QVariant(false)});
    const QDBusMessage reply = bus.call(call, QDBus::Block, m_timeoutMs);
    if (reply.type() != QDBusMessage::ErrorMessage) {
        return PowerResult::Ok();
    }
    if (IsServiceMissing(reply)) {
        return PowerResult::Failed("logind (" + kLogindService.toStdString()
                                   + ") is not running on the system bus: " + ErrorText(reply));
    }
    if (IsNoReply(reply)) {
        return PowerResult::Failed("logind did not answer " + std::string(method) + " within "
                                   + std::to_string(m_timeoutMs) + " ms: " + ErrorText(reply));
    }
    return PowerResult::Failed(ErrorText(reply));
}

std::vector<PowerInhibitor> LogindPowerRequests::BlockingInhibitors(const std::string& alarmType)
{
    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected()) {
        return {};
    }
    const QDBusMessage call = QDBusMessage::createMethodCall(
        kLogindService, kLogindPath, kLogindInterface, QStringLiteral("ListInhibitors"));
    const QDBusMessage reply = bus.call(call, QDBus::Block, m_timeoutMs);
    // Anything but the documented shape is not read: a mismatched read only yields noise.
    if (reply.type() != QDBusMessage::ReplyMessage
        || reply.signature() != QLatin1String("a(ssssuu)") || reply.arguments().size() != 1) {
        return {};
    }
    const QDBusArgument list = reply.arguments().constFirst().value<QDBusArgument>();
    std::vector<PowerInhibitor> blocking;
    list.beginArray();
    while (!list.atEnd()) {
        QString what;
        QString who;
        QString why;
        QString mode;
        uint uid = 0;
        uint pid = 0;
        list.beginStructure();
        list >> what >> who >> why >> mode >> uid >> pid;
        list.endStructure();
        if (InhibitorBlocks(what.toStdString(), mode.toStdString(), alarmType)) {
            blocking.push_back(
                {who.toStdString(), why.toStdString(), what.toStdString(), pid, uid});
        }
    }
    list.endArray();
    return blocking;
}

PowerResult LogindPowerRequests::DisplayOn()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        return PowerResult::Failed("The session bus is not available, so the screen saver "
                                   "cannot be asked to turn the display on ("
                                   + ErrorText(bus.lastError()) + ")");
    }
    QDBusMessage reply;
    for (const QString& path : {kScreenSaverPath, kScreenSaverLegacyPath}) {
        const QDBusMessage call =
            QDBusMessage::createMethodCall(kScreenSaverService, path, kScreenSaverInterface,
                                           QStringLiteral("SimulateUserActivity"));
        reply = bus.call(call, QDBus::Block, m_timeoutMs);
        if (reply.type() != QDBusMessage::ErrorMessage) {
            return PowerResult::Ok();
        }
        // Only a screen saver that is there but not at this path is worth a second try.
        if (!IsObjectMissing(reply)) {
            break;
        }
    }
    if (IsServiceMissing(reply)) {
        return PowerResult::Failed("No screen saver (" + kScreenSaverService.toStdString()
                                   + ") is running on the session bus: " + ErrorText(reply));
    }
    if (IsNoReply(reply)) {
        return PowerResult::Failed("The screen saver did not answer within "
                                   + std::to_string(m_timeoutMs) + " ms: " + ErrorText(reply));
    }
    return PowerResult::Failed(ErrorText(reply));
}

} // namespace zembra
