// Speed of the core: the earliest-alarm search over a large list, the list file, and the
// markup engine's growth with document size. Run by hand: build/bench/bench_core.

#include "markup/CMarkup.h"
#include "model/CScheduler.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <random>

using namespace zembra;

namespace {

constexpr const char* kFrequencies[] = {kFrequencyOnce,   kFrequencyEveryday, kFrequencyWorkdays,
                                        kFrequencyWeekend, kFrequencyWeekly,   kFrequencyMonthly,
                                        kFrequencyYearly};

// 10,000 alarms of mixed frequencies whose base moments lie `yearsBack` years before now
// (0: yesterday), spread over the day.
std::unique_ptr<CScheduler> MakeList(int yearsBack, std::size_t count = 10'000)
{
    auto schedule = std::make_unique<CScheduler>();
    std::mt19937 random(42);
    SystemTime now;
    FileTimeToSystemTime(GetSystemTimeAsFileTime() - kTicksPerDay, now);
    for (std::size_t i = 0; i < count; ++i) {
        auto alarm = std::make_unique<CAlarm>();
        alarm->m_strFrequency = kFrequencies[i % 7];
        alarm->m_strType = kTypeWakeup;
        alarm->m_bActive = true;
        SystemTime t = now;
        t.wYear = static_cast<std::uint16_t>(now.wYear - yearsBack);
        t.wDay = static_cast<std::uint16_t>(1 + random() % 28);
        t.wMonth = static_cast<std::uint16_t>(1 + random() % 12);
        t.wHour = static_cast<std::uint16_t>(random() % 24);
        t.wMinute = static_cast<std::uint16_t>(random() % 60);
        t.wMilliseconds = 0;
        if (yearsBack == 0) {
            t.wMonth = now.wMonth;
            t.wDay = now.wDay;
        }
        alarm->m_time = t;
        alarm->m_strComment = "Alarm number " + std::to_string(i) + " – budzik";
        alarm->m_strMessage = "Wstawaj!";
        alarm->m_bMessageActive = true;
        schedule->AddAlarm(std::move(alarm));
    }
    return schedule;
}

void BM_EarliestAlarm(benchmark::State& state)
{
    const auto schedule = MakeList(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        SystemTime when = GetSystemTime();
        benchmark::DoNotOptimize(schedule->GetEarliestAlarm(when));
    }
}
BENCHMARK(BM_EarliestAlarm)->Arg(0)->Arg(30)->ArgName("years_back")->Unit(benchmark::kMillisecond);

void BM_SaveToFile(benchmark::State& state)
{
    const auto schedule = MakeList(5);
    const auto path = (std::filesystem::temp_directory_path() / "zembra-bench.zmb").string();
    for (auto _ : state) {
        benchmark::DoNotOptimize(schedule->SaveToFile(path));
    }
    std::filesystem::remove(path);
}
BENCHMARK(BM_SaveToFile)->Unit(benchmark::kMillisecond);

void BM_LoadFromFile(benchmark::State& state)
{
    const auto path = (std::filesystem::temp_directory_path() / "zembra-bench-load.zmb").string();
    MakeList(5)->SaveToFile(path);
    for (auto _ : state) {
        CScheduler loaded;
        benchmark::DoNotOptimize(loaded.LoadFromFile(path));
        if (loaded.Count() != 10'000) {
            state.SkipWithError("the list did not load whole");
        }
    }
    std::filesystem::remove(path);
}
BENCHMARK(BM_LoadFromFile)->Unit(benchmark::kMillisecond);

// Adding elements one by one at the end: the cost per element must not grow with the size.
void BM_MarkupBuild(benchmark::State& state)
{
    for (auto _ : state) {
        CMarkup xml;
        xml.AddElement("Zembra");
        for (std::int64_t i = 0; i < state.range(0); ++i) {
            xml.AddChildElement("Alarm", "text");
            xml.SetChildAttribute("Active", 1);
        }
        benchmark::DoNotOptimize(xml.GetDocument().size());
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_MarkupBuild)->RangeMultiplier(4)->Range(1'000, 256'000)->Complexity()->Unit(benchmark::kMillisecond);

void BM_MarkupParse(benchmark::State& state)
{
    CMarkup source;
    source.AddElement("Zembra");
    for (std::int64_t i = 0; i < state.range(0); ++i) {
        source.AddChildElement("Alarm", "text");
        source.SetChildAttribute("Active", 1);
    }
    const std::string text = source.GetDocument();
    for (auto _ : state) {
        CMarkup xml;
        benchmark::DoNotOptimize(xml.SetDocument(text));
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_MarkupParse)->RangeMultiplier(4)->Range(1'000, 256'000)->Complexity()->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
