// The alerter thread's idle cost: with no message to rotate and no power alarm within five
// minutes, how often does the thread wake up? Runs the real thread with its real timers for
// 60 s and counts the timer ticks it handled and the times the kernel woke it (voluntary
// context switches of that thread).

#include "CAlerterThread.h"
#include "CSettings.h"
#include "PowerBackends.h"
#include "time/Clock.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <sys/syscall.h>
#include <unistd.h>

using namespace zembra;

namespace {

long long VoluntarySwitches(pid_t tid)
{
    QFile status(QStringLiteral("/proc/self/task/%1/status").arg(tid));
    if (!status.open(QIODevice::ReadOnly)) {
        return -1;
    }
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("voluntary_ctxt_switches:")) {
            return line.mid(24).trimmed().toLongLong();
        }
    }
    return -1;
}

void BM_AlerterIdle(benchmark::State& state)
{
    QTemporaryDir dir;
    CSettings::SetStorePath(dir.filePath(QStringLiteral("settings.ini")));
    CSettings settings;
    const auto power = CreatePowerRequests(dir.filePath(QStringLiteral("power.log")).toStdString());
    for (auto _ : state) {
        CAlerterThread thread(settings, power.get());
        thread.Start();
        // The next alarm: a shut-down three hours away, and a wake-up would be the same.
        CAlarm next;
        next.m_strType = kTypeShutdown;
        next.m_strFrequency = kFrequencyOnce;
        thread.SetNextAlarm(next, Clock::Now() + 3 * kTicksPerHour);

        pid_t tid = 0;
        QMetaObject::invokeMethod(thread.Window(), [&tid] { tid = static_cast<pid_t>(::syscall(SYS_gettid)); },
                                  Qt::BlockingQueuedConnection);
        const long long ticksBefore = thread.Window()->WakeUps();
        const long long switchesBefore = VoluntarySwitches(tid);
        QEventLoop loop;
        QTimer::singleShot(60'000, &loop, &QEventLoop::quit);
        loop.exec();
        state.counters["timer_ticks_per_min"] = static_cast<double>(thread.Window()->WakeUps() - ticksBefore);
        state.counters["thread_wakeups_per_min"] = static_cast<double>(VoluntarySwitches(tid) - switchesBefore);
        thread.Stop();
    }
    CSettings::SetStorePath({});
}
BENCHMARK(BM_AlerterIdle)->Iterations(1)->Unit(benchmark::kSecond);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
