#include "devices/SoundSafety.h"

#include <atomic>
#include <csignal>
#include <cstdlib>
#include <exception>
#include <mutex>

namespace tinkla
{

namespace
{

struct Slot {
    std::atomic<EmergencySilenceFn> fn{nullptr};
    std::atomic<void*> context{nullptr};
};
Slot g_slots[kMaxEmergencySlots];
std::mutex g_mutex; // between registrations only; the handlers read the atomics

constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGSEGV,
                            SIGBUS, SIGFPE,  SIGILL, SIGABRT};
struct sigaction g_previous[sizeof kSignals / sizeof kSignals[0]];
std::terminate_handler g_previousTerminate = nullptr;

void OnFatalSignal(int sig)
{
    EmergencySilenceAll();
    // Hand the signal to whatever was there before us (the default action, a sanitizer's
    // report, the toolkit's handler). The signal is blocked while we run, so the raise takes
    // effect as soon as this handler returns.
    for (size_t i = 0; i < sizeof kSignals / sizeof kSignals[0]; ++i)
        if (kSignals[i] == sig)
            sigaction(sig, &g_previous[i], nullptr);
    raise(sig);
}

void OnTerminate()
{
    EmergencySilenceAll();
    if (g_previousTerminate)
        g_previousTerminate();
    std::abort();
}

void InstallHandlers()
{
    for (size_t i = 0; i < sizeof kSignals / sizeof kSignals[0]; ++i) {
        struct sigaction action = {};
        action.sa_handler = OnFatalSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_ONSTACK;
        sigaction(kSignals[i], &action, &g_previous[i]);
        // A signal the process was told to ignore (nohup, a shell's background job) stays
        // ignored: putting a handler there would change how the program behaves.
        if (g_previous[i].sa_handler == SIG_IGN)
            sigaction(kSignals[i], &g_previous[i], nullptr);
    }
    g_previousTerminate = std::set_terminate(OnTerminate);
    std::atexit(EmergencySilenceAll);
}

} // namespace

int RegisterEmergencySilence(EmergencySilenceFn fn, void* context)
{
    static std::once_flag installed;
    std::call_once(installed, InstallHandlers);
    const std::lock_guard lock(g_mutex);
    for (int i = 0; i < kMaxEmergencySlots; ++i) {
        if (g_slots[i].fn.load() == nullptr) {
            // Context first: a handler that sees the function also sees its context.
            g_slots[i].context.store(context);
            g_slots[i].fn.store(fn);
            return i;
        }
    }
    return -1;
}

void UnregisterEmergencySilence(int slot)
{
    if (slot < 0 || slot >= kMaxEmergencySlots)
        return;
    const std::lock_guard lock(g_mutex);
    g_slots[slot].fn.store(nullptr);
    g_slots[slot].context.store(nullptr);
}

void EmergencySilenceAll()
{
    for (Slot& slot : g_slots) {
        const EmergencySilenceFn fn = slot.fn.load();
        if (fn)
            fn(slot.context.load());
    }
}

} // namespace tinkla
