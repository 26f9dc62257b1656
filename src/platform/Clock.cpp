#include "platform/Clock.h"

#include <chrono>
#include <thread>

namespace tinkla
{

uint32_t SystemClock::GetTickCount()
{
    using namespace std::chrono;
    return static_cast<uint32_t>(
        duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

std::time_t SystemClock::Time()
{
    return std::time(nullptr);
}

double SystemClock::NowMs()
{
    using namespace std::chrono;
    return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

void SystemClock::SleepMs(double ms)
{
    if (ms > 0.0)
        std::this_thread::sleep_for(std::chrono::duration<double, std::milli>(ms));
}

namespace
{
SystemClock g_systemClock;
Clock* g_pClock = &g_systemClock;
} // namespace

Clock& TheClock()
{
    return *g_pClock;
}

void SetClock(Clock* clock)
{
    g_pClock = clock ? clock : &g_systemClock;
}

} // namespace tinkla
