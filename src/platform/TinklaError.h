#pragma once
// The program reports its own failures by throwing one of its constant message texts; the command
// or dialog that started the work catches it and shows it with the stop icon.

namespace tinkla
{

struct TinklaError {
    const char* text; // UTF-8, static storage; one of the program's message texts
};

[[noreturn]] inline void ThrowMessage(const char* text)
{
    throw TinklaError{text};
}

} // namespace tinkla
