#pragma once
// The state of the Caps, Num and Scroll Lock keys, where the window system tells it. Qt itself
// does not report lock keys; on X11 the keyboard's LED mask does. Elsewhere (Wayland, offscreen)
// nothing is known, and the status bar leaves the indicators out rather than guess.

namespace tinkla
{

struct LockState {
    bool caps = false;
    bool num = false;
    bool scroll = false;
};

// False when the window system does not report lock keys; *state is then untouched.
bool QueryLockKeys(LockState* state);

} // namespace tinkla
