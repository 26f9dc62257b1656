// RTTTL and MIDI in and out, the fit into the doorbell's range, and the library of tunes.
#include "document/TinklaDoc.h"
#include "exchange/Exchange.h"
#include "support/DocTestKit.h"
#include "support/ScriptedPrompter.h"

#include <cmath>
#include <gtest/gtest.h>

using namespace tinkla;
using namespace tinkla::exchange;

namespace
{

TINKLA_PRINT_ROWS_BY_NAME

struct ReadCase {
    const char* name;
    QByteArray bytes;
    const char* outcome; // what the message names, or "title: pitch/length..." and approximations
    int track = -1;      // of a MIDI file: 1-based, 0 for the first with notes; -1: an RTTTL text
};

class Read : public ::testing::TestWithParam<ReadCase>
{
};

TEST_P(Read, AsCommonPlayersDoOrNamingThePlace)
{
    const ReadCase& c = GetParam();
    Imported got;
    QString error;
    if (!(c.track < 0 ? ReadRtttl(c.bytes, &got, &error)
                      : ReadMidi(c.bytes, c.track, &got, &error))) {
        EXPECT_TRUE(error.contains(QString::fromUtf8(c.outcome))) << error.toStdString();
        return;
    }
    QString read = got.title + QLatin1Char(':');
    for (const ImportedNote& n : got.notes)
        read += QStringLiteral(" %1/%2").arg(n.pitch).arg(n.duration);
    const Approximations& a = got.approx;
    const int counts[] = {a.dots, a.shortNotes, a.rests, a.chords, a.lengths, got.tempoBpm};
    const char* kinds[] = {"dots", "short", "rests", "chords", "lengths", "bpm"};
    for (int i = 0; i < 6; ++i)
        if (counts[i])
            read += QStringLiteral(" %1 %2").arg(QLatin1String(kinds[i])).arg(counts[i]);
    EXPECT_EQ(read.toStdString(), c.outcome);
}

const ReadCase kRtttlTexts[] = {
    {"DefaultsAreQuarterOctaveSix", "x::c,e", "x: 84/2 88/2 bpm 63"},
    {"A4Is440", "t:d=8,o=5,b=100:a4,2c#,16g", "t: 69/3 73/1 79/4 bpm 100"},
    {"HIsB", "t:o=5:h,b", "t: 83/2 83/2 bpm 63"},
    {"DotBeforeOrAfterOctaveDropped", "t:o=5:c.,c.6,c6.", "t: 72/2 84/2 84/2 dots 3 bpm 63"},
    {"ThirtySecondAndRests", "t:d=32,o=5:c,p,4p,8d", "t: 72/4 74/3 short 1 rests 2 bpm 63"},
    {"CaseSpacesRtxSettingsTrailingComma", " Tune : L=15,S=N, D=4 , O=5 :  C , E ,\n",
     "Tune: 72/2 76/2 bpm 63"},
    {"NoNotesIsNoError", "t:d=4:", "t: bpm 63"},
    {"NoColon", "hello", "позиция 6:"},
    {"UnknownSetting", "t:x=4:c", "позиция 3:"},
    {"LengthThree", "t:o=5:3c", "позиция 7:"},
    {"NotANote", "t:o=5:c,z", "позиция 9:"},
    {"OctaveTen", "t:o=10:c", "позиция 3:"},
    {"HugeNumber", "t:b=9999999:c", "позиция 5:"},
    {"MissingComma", "t::c e", "позиция 6:"},
};
INSTANTIATE_TEST_SUITE_P(Rtttl, Read, ::testing::ValuesIn(kRtttlTexts), test::ByName{});

QByteArray H(const QByteArray& hex) // spaces between the bytes are skipped
{
    return QByteArray::fromHex(hex);
}
QByteArray T(const char* hex) // a track's events, then its end
{
    return H(hex) + H("00 FF2F00");
}
QByteArray Smf(std::initializer_list<QByteArray> tracks, int format = 0, int division = 96)
{
    QByteArray file = H("4D546864 00000006 00") + char(format) + '\0' + char(tracks.size()) +
                      char(division >> 8) + char(division & 0xFF);
    for (const QByteArray& t : tracks)
        file += "MTrk" + H(QByteArray::number(t.size(), 16).rightJustified(8, '0')) + t;
    return file;
}
QByteArray Name(const char* text) // a track name event at delta 0
{
    return H("00 FF03") + char(strlen(text)) + QByteArray(text);
}
const QByteArray kTwoQuarters = T("00 903C64 60 803C00 00 903E64 60 803E00");

const ReadCase kMidiFiles[] = {
    {"Quarters", Smf({kTwoQuarters}), ": 60/2 62/2", 0},
    {"RunningStatusAndVelocityZero", Smf({T("00 903C64 30 3C00 00 4040 8300 4000")}), ": 60/3 64/0",
     0},
    {"ChordToHighestNote", Smf({T("00 903C64 00 4364 00 4064 60 803C00 00 4300 00 4000")}),
     ": 67/2 chords 1", 0},
    {"RestDropped", Smf({T("00 903C64 60 803C00 60 903E64 60 803E00")}), ": 60/2 62/2 rests 1", 0},
    // A dotted quarter is nearer a half; a 1/32 is a 1/16.
    {"LengthsOnALogScale", Smf({T("00 903C64 8110 803C00 00 903E64 0C 803E00")}),
     ": 60/1 62/4 lengths 2", 0},
    {"DrumsAreNoMelody", Smf({T("00 992464 00 903C64 60 893C00 00 803C00")}), ": 60/2", 0},
    {"FirstTrackWithNotesAndItsName",
     Smf({Name("Piece") + T("00 FF510307A120"), Name("Tune") + kTwoQuarters}, 1),
     "Tune: 60/2 62/2 bpm 120", 0},
    {"ChosenTrackNamedByThePiece",
     Smf({Name("Piece") + T(""), kTwoQuarters, T("00 904564 60 804500")}, 1), "Piece: 69/2", 3},
    {"NotMidi", "RIFF....WAVEfmt ", "байт 0:", 0},
    {"FormatTwo", Smf({T("")}, 2), "байт 8:", 0},
    {"SmpteTime", Smf({T("")}, 0, 0xE728), "байт 12:", 0},
    {"ChunkLongerThanFile", Smf({}) + H("4D54726B 00000064"), "байт 18:", 0},
    {"NumberOfFiveBytes", Smf({H("FFFFFFFF00")}), "байт 22:", 0},
    {"DataWithoutStatus", Smf({H("00 3C40")}), "байт 23:", 0},
    {"MetaLongerThanTrack", Smf({H("00 FF03 10 61")}), "байт 26:", 0},
    {"NoNotes", Smf({Name("x") + T("")}), "нет нот", 0},
    {"NoTrackFive", Smf({kTwoQuarters}), "нет дорожки 5", 5},
};
INSTANTIATE_TEST_SUITE_P(Midi, Read, ::testing::ValuesIn(kMidiFiles), test::ByName{});

TEST(Write, RtttlIsShortWithTheCommonestDefaultsMidiOneSquareLeadTrack)
{
    const std::vector<BYTE> codes = {16 * 8 + 3, 18 * 8 + 3, 4 * 8 + 2};
    EXPECT_EQ(WriteRtttl(QStringLiteral("A: b, c"), codes), "A b c:d=8,o=5,b=136:c,d,4c4\n");
    // MIDI: one track, named, at 136 bpm, on the square lead.
    EXPECT_EQ(
        WriteMidi(QStringLiteral("A"), {13 * 8 + 2, 0 * 8 + 0}),
        H("4D546864 00000006 0000 0001 0060  4D54726B 00000024  00 FF03 01 41"
          "  00 FF5103 06BB58  00 C050  00 904564 60 804500  00 903864 8300 803800  00 FF2F00"));
}

std::vector<BYTE> Codes(const std::vector<int>& tones, int duration)
{
    std::vector<BYTE> codes;
    for (int t : tones)
        codes.push_back(BYTE(t * 8 + duration));
    return codes;
}

TEST(Fit, MovesTheMelodyIntoRange)
{
    struct Row {
        const char* name;
        std::vector<int> pitches, tones;
        bool fitOctaves;
        int semitones, maxNotes, shift, folded, dropped;
    };
    const Row rows[] = {
        {"TieGoesToTheSmallerShift", {36, 40, 43}, {4, 8, 11}, true, 0, 31, 24, 0, 0},
        {"MostNotesWinTheRestFold", {50, 60, 90}, {6, 16, 22}, true, 0, 31, 12, 1, 0},
        {"SemitonesThenFold", {60, 61}, {22, 23}, false, 30, 31, 30, 2, 0},
        {"FirstNKept", std::vector<int>(10, 60), std::vector<int>(7, 4), true, 0, 7, 0, 0, 3},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        std::vector<ImportedNote> notes;
        for (int p : r.pitches)
            notes.push_back({p, 2});
        const FitResult fit = FitNotes(notes, r.fitOctaves, r.semitones, r.maxNotes);
        EXPECT_EQ(fit.shift, r.shift);
        EXPECT_EQ(fit.folded, r.folded);
        EXPECT_EQ(fit.dropped, r.dropped);
        EXPECT_EQ(fit.codes, Codes(r.tones, 2));
    }
}

TEST(Transpose, WholeMelodyOrNothing)
{
    struct Row {
        const char* name;
        std::vector<int> tones, result;
        int semitones, folded; // folded: notes moved back by octaves, -1 when not told
        bool fold, ok;
    };
    const Row rows[] = {{"Up", {0, 10}, {5, 15}, 5, 0, false, true},
                        {"RefusedPastTheTop", {0, 31}, {0, 31}, 1, -1, false, false},
                        {"FoldedAtTheTop", {31, 30}, {20, 31}, 1, 1, true, true},
                        {"FoldedAtTheBottom", {0}, {11}, -1, 1, true, true}};
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        std::vector<BYTE> codes = Codes(r.tones, 3);
        int folded = -1;
        EXPECT_EQ(TransposeCodes(&codes, r.semitones, r.fold, &folded), r.ok);
        EXPECT_EQ(codes, Codes(r.result, 3));
        EXPECT_EQ(folded, r.folded);
    }
}

TEST(RoundTrip, EveryToneAndLengthComesBackExactlyInBothFormats)
{
    std::vector<BYTE> codes;
    for (int tone = kToneCount - 1; tone >= 0; --tone)
        for (int d = 0; d < kDurationCount; ++d)
            codes.push_back(BYTE(tone * 8 + (tone + d) % kDurationCount));
    const QString title = QStringLiteral("Ода к радости");
    for (const bool midi : {false, true}) {
        SCOPED_TRACE(midi ? "MIDI" : "RTTTL");
        Imported back;
        QString error;
        ASSERT_TRUE(midi ? ReadMidi(WriteMidi(title, codes), 0, &back, &error)
                         : ReadRtttl(WriteRtttl(title, codes), &back, &error))
            << error.toStdString();
        EXPECT_EQ(back.title, title);
        const FitResult fit = FitNotes(back.notes, true, 0, 255);
        EXPECT_EQ(fit.codes, codes);
        EXPECT_EQ(ImportReport(back, fit, 255).count(QLatin1Char('\n')), 2)
            << "nothing approximated: only the count, the shift and the tempo";
    }
}

TEST(Library, TunesSoundAsTheyAreKnown)
{
    const std::pair<const char*, const char*> tunes[] = {
        {"westminster", "E4 G#4 F#4 B3 E4 F#4 G#4 E4 G#4 E4 F#4 B3 B3 F#4 G#4 E4"},
        {"ode_to_joy", "E5 E5 F5 G5 G5 F5 E5 D5 C5 C5 D5 E5 E5 D5 D5"},
        {"fur_elise", "E5 D#5 E5 D#5 E5 B4 D5 C5 A4 C4 E4 A4 B4 E4 G#4 B4 C5"},
        {"beethoven5", "G4 G4 G4 D#4 F4 F4 F4 D4"}};
    for (const auto& [file, opening] : tunes) {
        SCOPED_TRACE(file);
        test::ScriptedPrompter prompter;
        CTinklaDoc doc(&prompter);
        ASSERT_TRUE(doc.OnOpenDocument(
            QStringLiteral(TINKLA_SOURCE_DIR "/res/examples/%1.fml").arg(QLatin1String(file))));
        const CMelody& m = *doc.GetMelody(0);
        // Each note named from the frequency the doorbell sounds it at, in scientific pitch.
        QStringList heard;
        for (int i = 0; i < m.GetNoteCount(); ++i) {
            const double hz = g_nFrequencies[CNote(m.GetNoteCode(i)).GetTone()];
            const int midi = int(std::lround(69 + 12 * std::log2(hz / 440.0)));
            heard << QStringLiteral("C C# D D# E F F# G G# A A# B")
                             .split(QLatin1Char(' '))[midi % 12] +
                         QString::number(midi / 12 - 1);
        }
        EXPECT_EQ(heard.join(QLatin1Char(' ')).left(int(strlen(opening))), QLatin1String(opening));
    }
}

} // namespace
