#include "ui/LockKeys.h"

#include <QGuiApplication>
#include <QLibrary>
#include <cstdint>
#include <cstdlib>

namespace tinkla
{

#if QT_CONFIG(xcb)
namespace
{

// The core X protocol's GetKeyboardControl, resolved from the libxcb that Qt's own X11 plugin has
// already loaded; declared here so that building needs no X11 development files.
struct KeyboardControlCookie {
    unsigned int sequence;
};
struct KeyboardControlReply {
    uint8_t response_type;
    uint8_t global_auto_repeat;
    uint16_t sequence;
    uint32_t length;
    uint32_t led_mask; // bit n: LED n + 1; the X server's default map puts Caps, Num, Scroll on 1-3
    uint8_t key_click_percent;
    uint8_t bell_percent;
    uint16_t bell_pitch;
    uint16_t bell_duration;
    uint8_t pad0[2];
    uint8_t auto_repeats[32];
};
using GetKeyboardControl = KeyboardControlCookie (*)(xcb_connection_t*);
using GetKeyboardControlReply = KeyboardControlReply* (*)(xcb_connection_t*, KeyboardControlCookie,
                                                          void**);

} // namespace

bool QueryLockKeys(LockState* state)
{
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!x11 || !x11->connection())
        return false;
    static QLibrary xcb(QStringLiteral("xcb"), 1);
    static const auto request =
        reinterpret_cast<GetKeyboardControl>(xcb.resolve("xcb_get_keyboard_control"));
    static const auto reply =
        reinterpret_cast<GetKeyboardControlReply>(xcb.resolve("xcb_get_keyboard_control_reply"));
    if (!request || !reply)
        return false;
    KeyboardControlReply* r = reply(x11->connection(), request(x11->connection()), nullptr);
    if (!r)
        return false;
    state->caps = r->led_mask & 1u;
    state->num = r->led_mask & 2u;
    state->scroll = r->led_mask & 4u;
    std::free(r);
    return true;
}

#else

bool QueryLockKeys(LockState*)
{
    return false;
}

#endif

} // namespace tinkla
