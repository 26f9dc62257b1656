#pragma once
// The last line of defence against a tone that outlives the program. A sink that drives hardware
// (the real timer, the input layer's speaker) or a file registers a silencing function here; it
// runs at normal exit, on std::terminate, and on SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGSEGV,
// SIGBUS, SIGFPE, SIGILL and SIGABRT, before the signal's previous action goes ahead. SIGKILL
// cannot be caught: nothing can help there.
namespace tinkla
{

// Must be async-signal-safe: no allocation, no locks, no stdio; only system calls such as
// write, pwrite and port output.
using EmergencySilenceFn = void (*)(void* context);

// Registers fn(context); installs the handlers the first time. Returns a slot for
// UnregisterEmergencySilence, or -1 when all slots are taken (kMaxEmergencySlots).
constexpr int kMaxEmergencySlots = 8;
int RegisterEmergencySilence(EmergencySilenceFn fn, void* context);
void UnregisterEmergencySilence(int slot);

// Runs every registered function (what the handlers do); safe inside a signal handler.
void EmergencySilenceAll();

} // namespace tinkla
