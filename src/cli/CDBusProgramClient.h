#pragma once

// zembractl's way to the running desktop program: its interface on the session bus. Without a
// session bus, or with nobody owning the program's name on it, every request answers that no
// program runs.

#include "IRunningProgram.h"

#include <QDBusMessage>
#include <QList>
#include <QVariant>

#include <memory>

class QCoreApplication;
class QDBusConnection;

namespace zembra {

class CDBusProgramClient : public IRunningProgram {
public:
    CDBusProgramClient();
    ~CDBusProgramClient() override;
    CDBusProgramClient(const CDBusProgramClient&) = delete;
    CDBusProgramClient& operator=(const CDBusProgramClient&) = delete;

    std::optional<State> OpenList() override;
    ProgramReply ListAlarms(std::vector<CAlarm>& alarms) override;
    ProgramReply NextAlarm(std::optional<ProgramNextAlarm>& next) override;
    ProgramReply AddAlarm(const std::string& time, const CAlarm& alarm, int& index) override;
    ProgramReply RemoveAlarm(int index) override;
    ProgramReply SetAlarmActive(int index, bool active) override;
    ProgramReply Save() override;
    ProgramReply Show() override;
    ProgramReply Silence(bool& wasRinging) override;
    ProgramReply Snooze(unsigned minutes) override;

private:
    // Calls a method of the program's interface (or of `interface`), waiting for its answer.
    ProgramReply Call(const QString& method, const QList<QVariant>& arguments,
                      QDBusMessage* answer = nullptr, const QString& interface = {});

    // Qt's bus needs an application object; made on first use, so that `run`, which makes its
    // own, never meets this one.
    std::unique_ptr<QCoreApplication> m_app;
    std::unique_ptr<QDBusConnection> m_bus;
};

} // namespace zembra
