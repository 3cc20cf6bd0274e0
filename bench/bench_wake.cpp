// How late an alarm reaches its receiver: the wake timer is armed 200 ms ahead and the time from
// the armed moment to the receiver's first line is taken, once for the callback receiver (on
// the waiting thread) and once for a Qt receiver (through the event loop of this thread).
// Run by hand: build/bench/bench_wake. It arms the real kernel timer; set
// ZEMBRA_NO_WAKE_ALARM=1 to keep it off the machine's wake-up clock.

#include "CPower.h"
#include "linux/TimerFdWakeTimer.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QObject>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <condition_variable>
#include <cstdio>
#include <ctime>
#include <memory>
#include <mutex>
#include <vector>

using namespace zembra;

namespace {

constexpr FileTime kLeadTicks = 200 * kTicksPerMillisecond;

// The real-time clock in nanoseconds since 1970 (nanoseconds since 1601 do not fit 64 bits),
// finer than a FileTime, so that the lateness is not rounded twice.
long long NowNanoseconds()
{
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    return static_cast<long long>(now.tv_sec) * 1'000'000'000LL + now.tv_nsec;
}

double LatenessMs(long long receivedNs, FileTime due)
{
    return static_cast<double>(receivedNs - (due - kUnixEpochTicks) * 100LL) / 1e6;
}

void Report(benchmark::State& state, std::vector<double> lateness, const char* receiver)
{
    if (lateness.empty()) {
        return;
    }
    std::sort(lateness.begin(), lateness.end());
    const std::size_t n = lateness.size();
    const double median =
        n % 2 == 1 ? lateness[n / 2] : (lateness[n / 2 - 1] + lateness[n / 2]) / 2.0;
    const double best = lateness.front();
    const double worst = lateness.back();
    state.counters["median_ms"] = median;
    state.counters["worst_ms"] = worst;
    state.counters["best_ms"] = best;
    std::printf("wake lateness, %s receiver, %zu alarms: median %.3f ms, worst %.3f ms, "
                "best %.3f ms\n",
                receiver, n, median, worst, best);
}

const char* ClockName(const CPower& power)
{
    return power.GetWakeCapability().canWake ? "CLOCK_REALTIME_ALARM" : "CLOCK_REALTIME";
}

void BM_WakeLateness_Callback(benchmark::State& state)
{
    std::mutex mutex;
    std::condition_variable arrived;
    long long receivedNs = 0;
    std::uint64_t receivedToken = 0;

    CPower power(std::make_unique<TimerFdWakeTimer>());
    power.SetNotifyWindow([&](const WakeEvent& event) {
        const long long now = NowNanoseconds();
        const std::lock_guard lock(mutex);
        if (event.kind == WakeEvent::Kind::Expired) {
            receivedNs = now;
            receivedToken = event.token;
            arrived.notify_all();
        }
    });
    power.Init();
    state.SetLabel(ClockName(power));

    std::vector<double> lateness;
    std::uint64_t token = 0;
    for (auto _ : state) {
        ++token;
        const FileTime due = GetSystemTimeAsFileTime() + kLeadTicks;
        if (!power.SetWakeTimer(due, token)) {
            state.SkipWithError(power.LastError().c_str());
            break;
        }
        std::unique_lock lock(mutex);
        if (!arrived.wait_for(lock, std::chrono::seconds(5),
                              [&] { return receivedToken == token; })) {
            state.SkipWithError("the alarm did not arrive within 5 s");
            break;
        }
        const double late = LatenessMs(receivedNs, due);
        lateness.push_back(late);
        state.SetIterationTime(late / 1e3);
    }
    Report(state, lateness, "callback");
}

// The receiver the application uses: a QObject slot reached through a queued call.
class Receiver : public QObject {
    Q_OBJECT
public:
    long long receivedNs = 0;
    std::uint64_t receivedToken = 0;
    QEventLoop* loop = nullptr;

public Q_SLOTS:
    void onWake(const zembra::WakeEvent& event)
    {
        if (event.kind != WakeEvent::Kind::Expired) {
            return;
        }
        receivedNs = NowNanoseconds();
        receivedToken = event.token;
        if (loop != nullptr) {
            loop->quit();
        }
    }
};

void BM_WakeLateness_QtReceiver(benchmark::State& state)
{
    qRegisterMetaType<zembra::WakeEvent>();
    Receiver receiver;
    CPower power(std::make_unique<TimerFdWakeTimer>());
    power.SetNotifyWindow(&receiver, "onWake");
    power.Init();
    state.SetLabel(ClockName(power));

    std::vector<double> lateness;
    std::uint64_t token = 0;
    for (auto _ : state) {
        ++token;
        const FileTime due = GetSystemTimeAsFileTime() + kLeadTicks;
        if (!power.SetWakeTimer(due, token)) {
            state.SkipWithError(power.LastError().c_str());
            break;
        }
        QEventLoop loop;
        receiver.loop = &loop;
        QTimer::singleShot(5000, &loop, &QEventLoop::quit);
        loop.exec();
        receiver.loop = nullptr;
        if (receiver.receivedToken != token) {
            state.SkipWithError("the alarm did not arrive within 5 s");
            break;
        }
        const double late = LatenessMs(receiver.receivedNs, due);
        lateness.push_back(late);
        state.SetIterationTime(late / 1e3);
    }
    Report(state, lateness, "Qt");
}

} // namespace

BENCHMARK(BM_WakeLateness_Callback)->UseManualTime()->Iterations(50)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WakeLateness_QtReceiver)
    ->UseManualTime()
    ->Iterations(50)
    ->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    // The Qt receiver needs an event loop; the arguments are the ones benchmark left over.
    QCoreApplication app(argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

#include "bench_wake.moc"
