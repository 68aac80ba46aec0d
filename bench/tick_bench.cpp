// The cost of the once-a-second tick, and a simulated week of ticks through
// the in-memory backend.
#include "headless_app.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <new>

namespace {
std::atomic<std::size_t> g_allocations{0};
} // namespace

void* operator new(std::size_t size)
{
    g_allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace tindora {
namespace {

using headless::at;
using headless::HeadlessApp;

void setUpThreeSlotsAndTheHourlyChime(HeadlessApp& app)
{
    const int slots[3][3] = {{8, 30, 0}, {12, 15, 30}, {17, 45, 10}};
    for (std::size_t i = 0; i < 3; ++i) {
        ReminderSlot& slot = app.form.slots()[i];
        slot.hour.userChoseItem(slots[i][0]);
        slot.minute.userChoseItem(slots[i][1]);
        slot.second.userChoseItem(slots[i][2]);
        headless::typeAndCommit(slot.lead, "5");
    }
    app.form.Check3.userSetValue(1);
    app.runtime.keepLog = false;
}

// One tick at a second when nothing is due: Timer1_Timer with the clock pinned.
void BM_TickWithNothingDue(benchmark::State& state)
{
    HeadlessApp app(at(0, 9, 0, 1));
    app.start();
    setUpThreeSlotsAndTheHourlyChime(app);
    LocalSecond second = secondOf(at(0, 9, 0, 1));
    const std::size_t allocationsBefore = g_allocations.load();
    for (auto _ : state) {
        Clock::TickScope scope(app.form.clock(), second);
        app.form.Timer1.fire();
        second = second == secondOf(at(0, 9, 59, 59)) ? secondOf(at(0, 9, 0, 1)) : second + 1;
    }
    state.counters["allocations_per_tick"] = benchmark::Counter(
        static_cast<double>(g_allocations.load() - allocationsBefore) / static_cast<double>(state.iterations()));
    if (app.runtime.boxesShown != 0)
        state.SkipWithError("something was announced");
}
BENCHMARK(BM_TickWithNothingDue);

// A week of wake-ups (604,800 seconds) through the scheduler, the tick driver
// and Form1, with three slots and the hourly chime on.
void BM_SimulatedWeek(benchmark::State& state)
{
    for (auto _ : state) {
        HeadlessApp app(at(0, 0, 0, 0));
        app.start();
        setUpThreeSlotsAndTheHourlyChime(app);
        app.runUntil(at(7, 0, 0, 0, 500));
        const std::size_t expected = 3 * 2 * 7 + 7 * 24;
        state.counters["boxes"] = static_cast<double>(app.runtime.boxesShown);
        if (app.runtime.boxesShown != expected)
            state.SkipWithError("the week did not announce what its setup implies");
    }
}
BENCHMARK(BM_SimulatedWeek)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace tindora
