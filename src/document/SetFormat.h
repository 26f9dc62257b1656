#pragma once
// The six set formats: M melodies of up to N notes, M × (N + 1) = 256, the doorbell's note memory.

namespace tinkla
{

struct SetFormat {
    unsigned melodies; // M
    unsigned notes;    // N
    const char* label; // as the set-format dialog shows it (Latin x)
};

constexpr int kFormatCount = 6;
inline constexpr SetFormat kSetFormats[kFormatCount] = {
    {32, 7, "32 м. x 7 н."}, {16, 15, "16 м. x 15 н."}, {8, 31, "8 м. x 31 н."},
    {4, 63, "4 м. x 63 н."}, {2, 127, "2 м. x 127 н."}, {1, 255, "1 м. x 255 н."},
};
constexpr int kDefaultFormat = 2; // 8 × 31

// The index 0..5 of a valid (M, N) pair, else -1.
constexpr int FormatIndex(unsigned melodies, unsigned notes)
{
    for (int i = 0; i < kFormatCount; ++i)
        if (kSetFormats[i].melodies == melodies && kSetFormats[i].notes == notes)
            return i;
    return -1;
}

} // namespace tinkla
