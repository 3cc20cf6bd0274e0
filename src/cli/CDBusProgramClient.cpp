#include "CDBusProgramClient.h"

#include "ApplicationId.h"

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusError>
#include <QDBusMetaType>
#include <QFile>
#include <QVariantMap>

namespace zembra {

namespace {

// The program answers at once; one that does not answer for this long is hung.
constexpr int kCallTimeoutMs = 15000;

std::string ToCore(const QVariant& value)
{
    return value.toString().toStdString();
}

ProgramReply::Kind KindOf(const QString& errorName)
{
    static const QStringList notRunning{
        QStringLiteral("org.freedesktop.DBus.Error.ServiceUnknown"),
        QStringLiteral("org.freedesktop.DBus.Error.NameHasNoOwner"),
        QStringLiteral("org.freedesktop.DBus.Error.NoServer"),
        QStringLiteral("org.freedesktop.DBus.Error.Disconnected"),
        QStringLiteral("org.freedesktop.DBus.Error.UnknownObject"),
    };
    if (notRunning.contains(errorName)) {
        return ProgramReply::Kind::NotRunning;
    }
    if (errorName == QLatin1String("org.freedesktop.DBus.Error.InvalidArgs")) {
        return ProgramReply::Kind::BadArgument;
    }
    if (errorName == QLatin1String(kDBusErrorFile)) {
        return ProgramReply::Kind::FileError;
    }
    if (errorName == QLatin1String(kDBusErrorNotAlarmList)) {
        return ProgramReply::Kind::NotAlarmList;
    }
    return ProgramReply::Kind::Failed;
}

QVariantMap MapOf(const QVariant& value)
{
    return value.canConvert<QDBusArgument>() ? qdbus_cast<QVariantMap>(value) : value.toMap();
}

} // namespace

CDBusProgramClient::CDBusProgramClient() = default;

CDBusProgramClient::~CDBusProgramClient()
{
    // The connection goes before the application object it was made under.
    m_bus.reset();
    m_app.reset();
}

ProgramReply CDBusProgramClient::Call(const QString& method, const QList<QVariant>& arguments,
                                      QDBusMessage* answer, const QString& interface)
{
    if (!m_bus) {
        if (QCoreApplication::instance() == nullptr) {
            static int argc = 1;
            static char name[] = "zembractl";
            static char* argv[] = {name, nullptr};
            m_app = std::make_unique<QCoreApplication>(argc, argv);
        }
        qDBusRegisterMetaType<QList<QVariantMap>>();
        m_bus = std::make_unique<QDBusConnection>(QDBusConnection::sessionBus());
    }
    if (!m_bus->isConnected()) {
        return {ProgramReply::Kind::NotRunning,
                "Zembra is not running (there is no session bus to reach it: "
                    + m_bus->lastError().message().toStdString() + ")"};
    }
    QDBusMessage call = QDBusMessage::createMethodCall(
        QString::fromLatin1(kApplicationId), QString::fromLatin1(kDBusObjectPath),
        interface.isEmpty() ? QString::fromLatin1(kDBusInterface) : interface, method);
    call.setArguments(arguments);
    const QDBusMessage reply = m_bus->call(call, QDBus::Block, kCallTimeoutMs);
    if (reply.type() == QDBusMessage::ErrorMessage) {
        const ProgramReply::Kind kind = KindOf(reply.errorName());
        if (kind == ProgramReply::Kind::NotRunning) {
            return {kind, "Zembra is not running (nothing owns " + std::string(kApplicationId)
                              + " on the session bus)"};
        }
        return {kind, reply.errorMessage().toStdString()};
    }
    if (reply.type() != QDBusMessage::ReplyMessage) {
        return {ProgramReply::Kind::Failed, "the running Zembra gave no answer"};
    }
    if (answer != nullptr) {
        *answer = reply;
    }
    return {};
}

std::optional<IRunningProgram::State> CDBusProgramClient::OpenList()
{
    QDBusMessage answer;
    const ProgramReply reply = Call(QStringLiteral("GetAll"), {QString::fromLatin1(kDBusInterface)},
                                    &answer, QStringLiteral("org.freedesktop.DBus.Properties"));
    if (!reply.Ok() || answer.arguments().isEmpty()) {
        return std::nullopt;
    }
    const QVariantMap properties = MapOf(answer.arguments().constFirst());
    State state;
    state.path =
        QFile::encodeName(properties.value(QStringLiteral("FileName")).toString()).toStdString();
    state.modified = properties.value(QStringLiteral("Modified")).toBool();
    return state;
}

ProgramReply CDBusProgramClient::ListAlarms(std::vector<CAlarm>& alarms)
{
    QDBusMessage answer;
    ProgramReply reply = Call(QStringLiteral("ListAlarms"), {}, &answer);
    if (!reply.Ok()) {
        return reply;
    }
    const QList<QVariantMap> list =
        qdbus_cast<QList<QVariantMap>>(answer.arguments().value(0).value<QDBusArgument>());
    alarms.clear();
    for (const QVariantMap& entry : list) {
        CAlarm alarm;
        const std::optional<ParsedTime> time =
            ParseIso(ToCore(entry.value(QStringLiteral("time"))));
        if (!time) {
            return {ProgramReply::Kind::Failed, "the running Zembra sent an alarm without a time"};
        }
        alarm.m_time = time->time;
        alarm.m_bActive = entry.value(QStringLiteral("active")).toBool();
        alarm.m_strType = ToCore(entry.value(QStringLiteral("type")));
        alarm.m_strFrequency = ToCore(entry.value(QStringLiteral("frequency")));
        alarm.m_strComment = ToCore(entry.value(QStringLiteral("comment")));
        alarm.m_strMessage = ToCore(entry.value(QStringLiteral("message")));
        alarm.m_bMessageActive = entry.value(QStringLiteral("message_active")).toBool();
        alarm.m_strSound = ToCore(entry.value(QStringLiteral("sound")));
        alarm.m_bSoundActive = entry.value(QStringLiteral("sound_active")).toBool();
        alarm.m_strProgram = ToCore(entry.value(QStringLiteral("program")));
        alarm.m_bProgramActive = entry.value(QStringLiteral("program_active")).toBool();
        alarms.push_back(std::move(alarm));
    }
    return reply;
}

ProgramReply CDBusProgramClient::NextAlarm(std::optional<ProgramNextAlarm>& next)
{
    QDBusMessage answer;
    ProgramReply reply = Call(QStringLiteral("GetNextAlarm"), {}, &answer);
    if (!reply.Ok()) {
        return reply;
    }
    const QVariantMap found = MapOf(answer.arguments().value(0));
    next.reset();
    if (!found.isEmpty()) {
        next = ProgramNextAlarm{found.value(QStringLiteral("index")).toInt(),
                                ToCore(found.value(QStringLiteral("frequency"))),
                                ToCore(found.value(QStringLiteral("comment"))),
                                ToCore(found.value(QStringLiteral("local"))),
                                ToCore(found.value(QStringLiteral("utc")))};
    }
    return reply;
}

ProgramReply CDBusProgramClient::AddAlarm(const std::string& time, const CAlarm& alarm, int& index)
{
    QVariantMap options{
        {QStringLiteral("frequency"), QString::fromStdString(alarm.m_strFrequency)},
        {QStringLiteral("type"), QString::fromStdString(alarm.m_strType)},
        {QStringLiteral("comment"), QString::fromStdString(alarm.m_strComment)},
        {QStringLiteral("active"), alarm.m_bActive},
    };
    if (alarm.m_bMessageActive) {
        options.insert(QStringLiteral("message"), QString::fromStdString(alarm.m_strMessage));
    }
    if (alarm.m_bSoundActive) {
        options.insert(QStringLiteral("sound"), QString::fromStdString(alarm.m_strSound));
    }
    if (alarm.m_bProgramActive) {
        options.insert(QStringLiteral("program"), QString::fromStdString(alarm.m_strProgram));
    }
    QDBusMessage answer;
    ProgramReply reply =
        Call(QStringLiteral("AddAlarm"), {QString::fromStdString(time), options}, &answer);
    if (reply.Ok()) {
        index = answer.arguments().value(0).toInt();
    }
    return reply;
}

ProgramReply CDBusProgramClient::RemoveAlarm(int index)
{
    return Call(QStringLiteral("RemoveAlarm"), {index});
}

ProgramReply CDBusProgramClient::SetAlarmActive(int index, bool active)
{
    return Call(QStringLiteral("SetAlarmActive"), {index, active});
}

ProgramReply CDBusProgramClient::Save()
{
    return Call(QStringLiteral("Save"), {});
}

ProgramReply CDBusProgramClient::Show()
{
    return Call(QStringLiteral("Show"), {});
}

ProgramReply CDBusProgramClient::Silence(bool& wasRinging)
{
    QDBusMessage answer;
    ProgramReply reply = Call(QStringLiteral("Silence"), {}, &answer);
    if (reply.Ok()) {
        wasRinging = answer.arguments().value(0).toBool();
    }
    return reply;
}

ProgramReply CDBusProgramClient::Snooze(unsigned minutes)
{
    return Call(QStringLiteral("Snooze"), {QVariant::fromValue(static_cast<uint>(minutes))});
}

} // namespace zembra
