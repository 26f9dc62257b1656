// RTTTL and MIDI in and out, the fit into the doorbell's range, and the library of tunes played
// back as the doorbell would play them.
#include "devices/WavRender.h"
#include "document/TinklaDoc.h"
#include "exchange/Exchange.h"
#include "model/Note.h"
#include "support/DocTestKit.h"
#include "support/ScriptedPrompter.h"

#include <cmath>
#include <gtest/gtest.h>

using namespace tinkla;
using namespace tinkla::exchange;
using tinkla::test::ByName;

namespace
{

TINKLA_PRINT_ROWS_BY_NAME

using Notes = std::vector<ImportedNote>;

// --- RTTTL -------------------------------------------------------------------------------------

struct RtttlCase {
    const char* name;
    const char* text;
    Notes notes;
    const char* title;
    Approximations approx;
};

class RtttlReads : public ::testing::TestWithParam<RtttlCase>
{
};

TEST_P(RtttlReads, AsCommonPlayersDo)
{
    Imported got;
    QString error;
    ASSERT_TRUE(ReadRtttl(QByteArray(GetParam().text), &got, &error)) << error.toStdString();
    EXPECT_EQ(got.notes, GetParam().notes);
    EXPECT_EQ(got.title, QString::fromUtf8(GetParam().title));
    const Approximations& a = GetParam().approx;
    EXPECT_EQ(got.approx.dots, a.dots);
    EXPECT_EQ(got.approx.shortNotes, a.shortNotes);
    EXPECT_EQ(got.approx.rests, a.rests);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, RtttlReads,
    ::testing::Values(
        RtttlCase{"DefaultsAreQuarterOctaveSix", "x::c,e", {{84, 2}, {88, 2}}, "x", {}},
        RtttlCase{"A4Is440", "t:d=8,o=5,b=100:a4,2c#,16g", {{69, 3}, {73, 1}, {79, 4}}, "t", {}},
        RtttlCase{"HIsB", "t:o=5:h,b", {{83, 2}, {83, 2}}, "t", {}},
        RtttlCase{"DotBeforeOrAfterOctaveDropped",
                  "t:o=5:c.,c.6,c6.",
                  {{72, 2}, {84, 2}, {84, 2}},
                  "t",
                  {3, 0, 0, 0, 0}},
        RtttlCase{"ThirtySecondAndRests",
                  "t:d=32,o=5:c,p,4p,8d",
                  {{72, 4}, {74, 3}},
                  "t",
                  {0, 1, 2, 0, 0}},
        RtttlCase{"CaseSpacesRtxSettingsTrailingComma",
                  " Tune : L=15,S=N, D=4 , O=5 :  C , E ,\n",
                  {{72, 2}, {76, 2}},
                  "Tune",
                  {}},
        RtttlCase{"Utf8Title", "Ода:o=5:c", {{72, 2}}, "Ода", {}},
        RtttlCase{"NoNotesIsNoError", "t:d=4:", {}, "t", {}}),
    ByName{});

struct RefusalCase {
    const char* name;
    QByteArray bytes;
    const char* place; // what the message must name
};

class RtttlRefuses : public ::testing::TestWithParam<RefusalCase>
{
};

TEST_P(RtttlRefuses, NamingTheCharacter)
{
    Imported got;
    QString error;
    EXPECT_FALSE(ReadRtttl(GetParam().bytes, &got, &error));
    EXPECT_TRUE(error.contains(QString::fromUtf8(GetParam().place))) << error.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Texts, RtttlRefuses,
                         ::testing::Values(RefusalCase{"NoColon", "hello", "позиция 6:"},
                                           RefusalCase{"UnknownSetting", "t:x=4:c", "позиция 3:"},
                                           RefusalCase{"LengthThree", "t:o=5:3c", "позиция 7:"},
                                           RefusalCase{"NotANote", "t:o=5:c,z", "позиция 9:"},
                                           RefusalCase{"OctaveTen", "t:o=10:c", "позиция 3:"},
                                           RefusalCase{"HugeNumber", "t:b=9999999:c", "позиция 5:"},
                                           RefusalCase{"MissingComma", "t::c e", "позиция 6:"}),
                         ByName{});

// --- MIDI --------------------------------------------------------------------------------------

QByteArray Vlq(uint32_t v)
{
    QByteArray out(1, char(v & 0x7F));
    while (v >>= 7)
        out.prepend(char(0x80 | (v & 0x7F)));
    return out;
}
QByteArray Chunk(const char* id, const QByteArray& body)
{
    return QByteArray(id, 4) +
           QByteArray::fromHex(QByteArray::number(body.size(), 16).rightJustified(8, '0')) + body;
}
QByteArray Smf(int format, int division, std::initializer_list<QByteArray> tracks)
{
    QByteArray head = QByteArray::fromHex("00") + char(format) + QByteArray::fromHex("00") +
                      char(tracks.size()) + char(division >> 8) + char(division & 0xFF);
    QByteArray file = Chunk("MThd", head);
    for (const QByteArray& t : tracks)
        file += Chunk("MTrk", t);
    return file;
}
// delta, then the event's bytes given in hex.
QByteArray Ev(uint32_t delta, const char* hex)
{
    return Vlq(delta) + QByteArray::fromHex(hex);
}
QByteArray Name(const char* text)
{
    return Ev(0, "FF03") + Vlq(uint32_t(strlen(text))) + QByteArray(text);
}
const QByteArray kEnd = Ev(0, "FF2F00");

struct MidiCase {
    const char* name;
    QByteArray file;
    int track;
    Notes notes;
    const char* title;
    int tempo;
    Approximations approx;
};

class MidiReads : public ::testing::TestWithParam<MidiCase>
{
};

TEST_P(MidiReads, TheChosenTrackAsAMelody)
{
    Imported got;
    QString error;
    ASSERT_TRUE(ReadMidi(GetParam().file, GetParam().track, &got, &error)) << error.toStdString();
    EXPECT_EQ(got.notes, GetParam().notes);
    EXPECT_EQ(got.title, QString::fromUtf8(GetParam().title));
    EXPECT_EQ(got.tempoBpm, GetParam().tempo);
    const Approximations& a = GetParam().approx;
    EXPECT_EQ(got.approx.rests, a.rests);
    EXPECT_EQ(got.approx.chords, a.chords);
    EXPECT_EQ(got.approx.lengths, a.lengths);
}

const QByteArray kTwoQuarters =
    Ev(0, "903C64") + Ev(96, "803C00") + Ev(0, "903E64") + Ev(96, "803E00") + kEnd;

INSTANTIATE_TEST_SUITE_P(
    Files, MidiReads,
    ::testing::Values(
        MidiCase{"Quarters", Smf(0, 96, {kTwoQuarters}), 0, {{60, 2}, {62, 2}}, "", 0, {}},
        MidiCase{
            "RunningStatusAndVelocityZero",
            Smf(0, 96, {Ev(0, "903C64") + Ev(48, "3C00") + Ev(0, "4040") + Ev(384, "4000") + kEnd}),
            0,
            {{60, 3}, {64, 0}},
            "",
            0,
            {}},
        MidiCase{"ChordToHighestNote",
                 Smf(0, 96,
                     {Ev(0, "903C64") + Ev(0, "4364") + Ev(0, "4064") + Ev(96, "803C00") +
                      Ev(0, "4300") + Ev(0, "4000") + kEnd}),
                 0,
                 {{67, 2}},
                 "",
                 0,
                 {0, 0, 0, 1, 0}},
        MidiCase{
            "RestDropped",
            Smf(0, 96,
                {Ev(0, "903C64") + Ev(96, "803C00") + Ev(96, "903E64") + Ev(96, "803E00") + kEnd}),
            0,
            {{60, 2}, {62, 2}},
            "",
            0,
            {0, 0, 1, 0, 0}},
        MidiCase{
            "LengthsOnALogScale", // dotted quarter is nearer a half; a 1/32 is a 1/16
            Smf(0, 96,
                {Ev(0, "903C64") + Ev(144, "803C00") + Ev(0, "903E64") + Ev(12, "803E00") + kEnd}),
            0,
            {{60, 1}, {62, 4}},
            "",
            0,
            {0, 0, 0, 0, 2}},
        MidiCase{
            "DrumsAreNoMelody",
            Smf(0, 96,
                {Ev(0, "992464") + Ev(0, "903C64") + Ev(96, "893C00") + Ev(0, "803C00") + kEnd}),
            0,
            {{60, 2}},
            "",
            0,
            {}},
        MidiCase{
            "FirstTrackWithNotesAndItsName",
            Smf(1, 96, {Name("Piece") + Ev(0, "FF510307A120") + kEnd, Name("Tune") + kTwoQuarters}),
            0,
            {{60, 2}, {62, 2}},
            "Tune",
            120,
            {}},
        MidiCase{
            "ChosenTrackNamedByThePiece",
            Smf(1, 96,
                {Name("Piece") + kEnd, kTwoQuarters, Ev(0, "904564") + Ev(96, "804500") + kEnd}),
            3,
            {{69, 2}},
            "Piece",
            0,
            {}}),
    ByName{});

class MidiRefuses : public ::testing::TestWithParam<RefusalCase>
{
};

TEST_P(MidiRefuses, NamingTheByte)
{
    Imported got;
    QString error;
    EXPECT_FALSE(ReadMidi(GetParam().bytes, GetParam().name == std::string("NoTrackFive") ? 5 : 0,
                          &got, &error));
    EXPECT_TRUE(error.contains(QString::fromUtf8(GetParam().place))) << error.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Files, MidiRefuses,
    ::testing::Values(
        RefusalCase{"NotMidi", QByteArray("RIFF....WAVEfmt "), "байт 0:"},
        RefusalCase{"FormatTwo", Smf(2, 96, {kEnd}), "байт 8:"},
        RefusalCase{"SmpteTime", Smf(0, 0xE728, {kEnd}), "байт 12:"},
        RefusalCase{"ChunkLongerThanFile", Smf(0, 96, {}) + QByteArray::fromHex("4D54726B00000064"),
                    "байт 18:"},
        RefusalCase{"NumberOfFiveBytes", Smf(0, 96, {QByteArray::fromHex("FFFFFFFF00")}),
                    "байт 22:"},
        RefusalCase{"DataWithoutStatus", Smf(0, 96, {Ev(0, "3C40")}), "байт 23:"},
        RefusalCase{"MetaLongerThanTrack", Smf(0, 96, {Ev(0, "FF031061")}), "байт 26:"},
        RefusalCase{"NoNotes", Smf(0, 96, {Name("x") + kEnd}), "нет нот"},
        RefusalCase{"NoTrackFive", Smf(0, 96, {kTwoQuarters}), "нет дорожки 5"}),
    ByName{});

// --- fit and transposition ---------------------------------------------------------------------

struct FitCase {
    const char* name;
    std::vector<int> pitches;
    bool fitOctaves;
    int semitones;
    int maxNotes;
    int shift;
    int folded;
    int dropped;
    int firstTone;
};

class Fit : public ::testing::TestWithParam<FitCase>
{
};

TEST_P(Fit, MovesTheMelodyIntoRange)
{
    Notes notes;
    for (int p : GetParam().pitches)
        notes.push_back({p, 2});
    const FitResult fit =
        FitNotes(notes, GetParam().fitOctaves, GetParam().semitones, GetParam().maxNotes);
    EXPECT_EQ(fit.shift, GetParam().shift);
    EXPECT_EQ(fit.folded, GetParam().folded);
    EXPECT_EQ(fit.dropped, GetParam().dropped);
    ASSERT_FALSE(fit.codes.empty());
    EXPECT_EQ(CNote(fit.codes[0]).GetTone(), GetParam().firstTone);
    for (BYTE code : fit.codes)
        EXPECT_EQ(code & 7, 2);
}

INSTANTIATE_TEST_SUITE_P(
    Melodies, Fit,
    ::testing::Values(FitCase{"InRangeStays", {56, 87}, true, 0, 31, 0, 0, 0, 0},
                      FitCase{"TieGoesToTheSmallerShift", {36, 40, 43}, true, 0, 31, 24, 0, 0, 4},
                      FitCase{"MostNotesWinTheRestFold", {50, 60, 90}, true, 0, 31, 12, 1, 0, 6},
                      FitCase{"SemitonesThenFold", {60, 61}, false, 30, 31, 30, 2, 0, 22},
                      FitCase{"FirstNKept", std::vector<int>(10, 60), true, 0, 7, 0, 0, 3, 4}),
    ByName{});

struct TransposeCase {
    const char* name;
    std::vector<int> tones;
    int semitones;
    bool fold;
    bool ok;
    std::vector<int> result;
};

class Transpose : public ::testing::TestWithParam<TransposeCase>
{
};

TEST_P(Transpose, WholeMelodyOrNothing)
{
    std::vector<BYTE> codes;
    for (int t : GetParam().tones)
        codes.push_back(BYTE(t * 8 + 3));
    int folded = -1;
    EXPECT_EQ(TransposeCodes(&codes, GetParam().semitones, GetParam().fold, &folded),
              GetParam().ok);
    std::vector<int> tones;
    for (BYTE c : codes) {
        tones.push_back(CNote(c).GetTone());
        EXPECT_EQ(c & 7, 3);
    }
    EXPECT_EQ(tones, GetParam().result);
}

INSTANTIATE_TEST_SUITE_P(
    Melodies, Transpose,
    ::testing::Values(TransposeCase{"Up", {0, 10}, 5, false, true, {5, 15}},
                      TransposeCase{"RefusedPastTheTop", {0, 31}, 1, false, false, {0, 31}},
                      TransposeCase{"FoldedAtTheTop", {31}, 1, true, true, {20}},
                      TransposeCase{"FoldedAtTheBottom", {0}, -1, true, true, {11}}),
    ByName{});

// --- round trips -------------------------------------------------------------------------------

class RoundTrip : public ::testing::TestWithParam<bool>
{
};

TEST_P(RoundTrip, EveryToneAndLengthComesBackExactly)
{
    std::vector<BYTE> codes;
    for (int tone = kToneCount - 1; tone >= 0; --tone)
        for (int d = 0; d < kDurationCount; ++d)
            codes.push_back(BYTE(tone * 8 + (tone + d) % kDurationCount));
    const QString title = QStringLiteral("Ода к радости");
    const bool midi = GetParam();
    Imported back;
    QString error;
    ASSERT_TRUE(midi ? ReadMidi(WriteMidi(title, codes), 0, &back, &error)
                     : ReadRtttl(WriteRtttl(title, codes), &back, &error))
        << error.toStdString();
    EXPECT_EQ(back.title, title);
    const FitResult fit = FitNotes(back.notes, true, 0, 255);
    EXPECT_EQ(fit.codes, codes);
    EXPECT_EQ(fit.shift, 0);
    EXPECT_EQ(ImportReport(back, fit, 255).count(QLatin1Char('\n')), 2)
        << "nothing approximated: only the count, the shift and the tempo";
}

INSTANTIATE_TEST_SUITE_P(Formats, RoundTrip, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Midi" : "Rtttl"; });

TEST(RtttlWrite, ShortWithTheCommonestDefaults)
{
    const std::vector<BYTE> codes = {16 * 8 + 3, 18 * 8 + 3, 4 * 8 + 2};
    EXPECT_EQ(WriteRtttl(QStringLiteral("A: b, c"), codes), "A b c:d=8,o=5,b=136:c,d,4c4\n");
}

// --- the library of tunes, rendered as the doorbell plays it -----------------------------------

struct TuneCase {
    const char* name;
    const char* notes; // the tune's opening as it is known, in scientific pitch
};

// The pitch of every note of a rendering: the sounding runs between the silent ticks, each
// measured from its first to its last rising edge.
QStringList PitchesOf(const std::vector<int16_t>& samples, int rate)
{
    static const char* names[12] = {"C",  "C#", "D",  "D#", "E",  "F",
                                    "F#", "G",  "G#", "A",  "A#", "B"};
    QStringList pitches;
    size_t i = 0;
    while (i < samples.size()) {
        while (i < samples.size() && samples[i] == 0)
            ++i;
        size_t first = 0, last = 0, edges = 0;
        for (; i < samples.size() && samples[i] != 0; ++i)
            if (i > 0 && samples[i - 1] < 0 && samples[i] > 0) {
                last = i;
                if (edges++ == 0)
                    first = i;
            }
        if (edges < 2)
            continue;
        const double hz = double(edges - 1) * rate / double(last - first);
        const int midi = int(std::lround(69 + 12 * std::log2(hz / 440.0)));
        pitches << QStringLiteral("%1%2").arg(names[midi % 12]).arg(midi / 12 - 1);
    }
    return pitches;
}

class LibraryTune : public ::testing::TestWithParam<TuneCase>
{
};

TEST_P(LibraryTune, SoundsAsTheTuneIsKnown)
{
    test::ScriptedPrompter prompter;
    CTinklaDoc doc(&prompter);
    ASSERT_TRUE(doc.OnOpenDocument(
        QStringLiteral(TINKLA_SOURCE_DIR "/res/examples/%1.fml").arg(GetParam().name)));
    WavRenderOptions options;
    options.rate = 44100;
    const QStringList heard = PitchesOf(RenderMelodySamples(*doc.GetMelody(0), options), 44100);
    const QStringList known = QString::fromLatin1(GetParam().notes).split(QLatin1Char(' '));
    EXPECT_EQ(heard.mid(0, known.size()), known);
}

INSTANTIATE_TEST_SUITE_P(
    Tunes, LibraryTune,
    ::testing::Values(
        TuneCase{"westminster", "E4 G#4 F#4 B3 E4 F#4 G#4 E4 G#4 E4 F#4 B3 B3 F#4 G#4 E4"},
        TuneCase{"ode_to_joy", "E5 E5 F5 G5 G5 F5 E5 D5 C5 C5 D5 E5 E5 D5 D5"},
        TuneCase{"fur_elise", "E5 D#5 E5 D#5 E5 B4 D5 C5 A4 C4 E4 A4 B4 E4 G#4 B4 C5"},
        TuneCase{"jingle_bells", "E5 E5 E5 E5 E5 E5 E5 G5 C5 D5 E5"},
        TuneCase{"beethoven5", "G4 G4 G4 D#4 F4 F4 F4 D4"}),
    ByName{});

} // namespace
