#pragma once
// What the simulated doorbell sounds like: on the play line it plays the first melody of its
// memory through the program's speaker (the Pit behind ports 0x42, 0x43 and 0x61), one 55 ms
// tick at a time on the same sequencer the playback dialog uses; the reset line stops it. So the
// doorbell test is heard without hardware.
//
// The speaker is shared with the playback dialog, and only one of them may sound: the player
// never starts over a tone it did not make, and it gives the speaker up, without touching it,
// as soon as anyone else has changed what the speaker does.
#include "model/Melody.h"

#include <QObject>
#include <QTimer>
#include <cstdint>
#include <memory>

namespace tinkla
{

class SimDoorbell;

class SimPlayer : public QObject
{
    Q_OBJECT
public:
    explicit SimPlayer(QObject* parent = nullptr);
    // Silences what it plays and leaves the doorbell it listens to without handlers.
    ~SimPlayer() override;

    // Listens to sim's play and reset lines (replacing any handlers it had); nullptr stops and
    // leaves the doorbell listened to so far alone. sim must outlive the attachment, or be
    // detached (Attach(nullptr)) first.
    void Attach(SimDoorbell* sim);
    SimDoorbell* Attached() const { return m_pSim; }

    // The doorbell's first melody: the notes of slot 1 for the set format the format byte holds,
    // up to the end byte or the first byte that is not a note. False for a format byte that no
    // set format matches (a blank doorbell): the doorbell then plays nothing.
    static bool FirstMelody(const uint8_t image[256], uint8_t formatByte, CMelody* melody);

    // The play line: starts the first melody from its beginning (a melody already playing starts
    // again). Nothing sounds for an empty or unreadable melody, or while the speaker sounds a
    // tone of someone else's.
    void Play(const uint8_t image[256], uint8_t formatByte);
    // The reset line, and the end of the program: silence, if the tone is still ours.
    void Stop();
    bool IsPlaying() const { return m_pMelody != nullptr; }

    // One 55 ms tick: the timer's slot. Without a Qt event loop (a program that has no
    // application object) nothing ticks by itself and the owner steps the player.
    void OnTick();

private:
    // The divisor the speaker sounds now, 0 while silent or when no Pit is installed.
    static uint32_t SpeakerDivisor();
    bool OwnsSpeaker() const;
    void Remember(); // what the speaker does after our own step
    void Finish();

    SimDoorbell* m_pSim = nullptr;
    std::unique_ptr<CMelody> m_pMelody;
    QTimer m_timer;
    uint32_t m_nOwnDivisor = 0; // what our last step left the speaker doing
};

} // namespace tinkla
