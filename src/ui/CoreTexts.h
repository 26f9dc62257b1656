#pragma once
// Texts the core keeps as UTF-8 constants (note names, set formats, edit steps, messages), shown
// by the windows in the interface's language. The core marks each constant for translation under
// the context named here; the translation happens now, never earlier, so a language installed
// after start-up applies.
#include "document/SetFormat.h"
#include "model/Note.h"

#include <QCoreApplication>
#include <QString>

namespace tinkla
{

inline constexpr const char* kNoteContext = "Note";                   // model/Note.cpp
inline constexpr const char* kSetFormatContext = "SetFormat";         // document/SetFormat.h
inline constexpr const char* kDocumentContext = "tinkla::CTinklaDoc"; // document/TinklaDoc.h
inline constexpr const char* kMessagesContext = "Messages";           // the message constants

inline QString CoreText(const char* context, const char* text)
{
    return text ? QCoreApplication::translate(context, text) : QString();
}

// "Соль#" for tone code 0 (and 12, 24): the name without its octave.
inline QString NoteName(int tone)
{
    return CoreText(kNoteContext, g_szNoteNames[tone % 12]);
}

// "Соль#, Малая октава": the name with its octave; tone 0..31.
inline QString ToneName(int tone)
{
    return CoreText(kNoteContext, OctaveFormat(tone)).replace(QLatin1String("%s"), NoteName(tone));
}

// "Восьмая" for duration code 3; empty for a code past the five.
inline QString DurationName(int duration)
{
    return duration >= 0 && duration < kDurationCount
               ? CoreText(kNoteContext, g_szDurationNames[duration])
               : QString();
}

// "8 м. x 31 н." for format 2.
inline QString SetFormatLabel(int format)
{
    return CoreText(kSetFormatContext, kSetFormats[format].label);
}

// An edit step's name as the Edit menu shows it ("Вставка ноты").
inline QString EditStepName(const char* name)
{
    return CoreText(kDocumentContext, name);
}

// One of the program's message texts (kMsg...), or a failure a session reports.
inline QString MessageText(const char* text)
{
    return CoreText(kMessagesContext, text);
}

} // namespace tinkla
