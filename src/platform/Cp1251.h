#pragma once
// Titles are held as their code page 1251 bytes, so any file round-trips byte for byte; they
// become Unicode only where a person sees them.
#include <QByteArray>
#include <QString>

namespace tinkla
{

QString Cp1251ToUnicode(const QByteArray& bytes);
// Returns false (and leaves out) when a character has no code page 1251 byte.
bool UnicodeToCp1251(const QString& text, QByteArray* out);
bool IsCp1251Encodable(const QString& text);
// "Новая мелодия" and friends are written in UTF-8 in the sources.
QByteArray Cp1251FromUtf8(const char* utf8);

} // namespace tinkla
