#pragma once
// The six set formats: M melodies of up to N notes, M × (N + 1) = 256, the doorbell's note memory.
#include <QCoreApplication>

namespace tinkla
{

struct SetFormat {
    unsigned melodies; // M
    unsigned notes;    // N
    const char* label; // as the set-format dialog shows it (Latin x); shown by SetFormatLabel()
};

constexpr int kFormatCount = 6;
inline constexpr SetFormat kSetFormats[kFormatCount] = {
    {32, 7, QT_TRANSLATE_NOOP("SetFormat", "32 м. x 7 н.")},
    {16, 15, QT_TRANSLATE_NOOP("SetFormat", "16 м. x 15 н.")},
    {8, 31, QT_TRANSLATE_NOOP("SetFormat", "8 м. x 31 н.")},
    {4, 63, QT_TRANSLATE_NOOP("SetFormat", "4 м. x 63 н.")},
    {2, 127, QT_TRANSLATE_NOOP("SetFormat", "2 м. x 127 н.")},
    {1, 255, QT_TRANSLATE_NOOP("SetFormat", "1 м. x 255 н.")},
};
constexpr int kDefaultFormat = 2; // 8 × 31

// The label of format 0..5 in the interface's language.
inline QString SetFormatLabel(int index)
{
    return QCoreApplication::translate("SetFormat", kSetFormats[index].label);
}

// The index 0..5 of a valid (M, N) pair, else -1.
constexpr int FormatIndex(unsigned melodies, unsigned notes)
{
    for (int i = 0; i < kFormatCount; ++i)
        if (kSetFormats[i].melodies == melodies && kSetFormats[i].notes == notes)
            return i;
    return -1;
}

} // namespace tinkla
