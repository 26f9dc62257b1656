#include "devices/SimPlayer.h"

#include "devices/Pit.h"
#include "devices/SimDoorbell.h"
#include "devices/WavRender.h"
#include "exchange/DoorbellCodec.h"
#include "platform/Ports.h"

#include <QCoreApplication>
#include <algorithm>

namespace tinkla
{

SimPlayer::SimPlayer(QObject* parent) : QObject(parent)
{
    m_timer.setTimerType(Qt::PreciseTimer);
    m_timer.setInterval(kTickMs);
    connect(&m_timer, &QTimer::timeout, this, &SimPlayer::OnTick);
}

SimPlayer::~SimPlayer()
{
    Stop();
    Attach(nullptr);
}

void SimPlayer::Attach(SimDoorbell* sim)
{
    if (m_pSim && m_pSim != sim) {
        m_pSim->SetPlayHandler(nullptr);
        m_pSim->SetStopHandler(nullptr);
    }
    m_pSim = sim;
    if (!sim)
        return;
    sim->SetPlayHandler(
        [this](const uint8_t image[256], uint8_t formatByte) { Play(image, formatByte); });
    sim->SetStopHandler([this] { Stop(); });
}

bool SimPlayer::FirstMelody(const uint8_t image[256], uint8_t formatByte, CMelody* melody)
{
    unsigned melodies = 0;
    unsigned notes = 0;
    if (!DecodeFormatByte(formatByte, &melodies, &notes))
        return false;
    DoorbellImage bytes;
    std::copy(image, image + bytes.size(), bytes.begin());
    // A bad byte ends the melody there: the doorbell plays what comes before it.
    const DecodedImage decoded = DecodeDoorbellImage(bytes, melodies, notes);
    if (decoded.melodies.empty())
        return false;
    for (BYTE code : decoded.melodies.front())
        melody->AppendNote(code);
    return true;
}

uint32_t SimPlayer::SpeakerDivisor()
{
    const auto* pit = dynamic_cast<const Pit*>(Ports::Instance().Speaker());
    return pit ? pit->SoundingDivisor() : 0;
}

bool SimPlayer::OwnsSpeaker() const
{
    // Without a Pit nothing can be heard, and nobody can be disturbed either.
    if (!dynamic_cast<const Pit*>(Ports::Instance().Speaker()))
        return true;
    return SpeakerDivisor() == m_nOwnDivisor;
}

void SimPlayer::Remember()
{
    m_nOwnDivisor = SpeakerDivisor();
}

void SimPlayer::Play(const uint8_t image[256], uint8_t formatByte)
{
    if (IsPlaying())
        Stop(); // pressed again: the doorbell starts over
    else if (SpeakerDivisor() != 0)
        return; // the playback dialog has the speaker
    auto melody = std::make_unique<CMelody>();
    if (!FirstMelody(image, formatByte, melody.get()) || melody->GetNoteCount() == 0)
        return;
    m_pMelody = std::move(melody);
    m_pMelody->PlayStep(true, false);
    Remember();
    if (QCoreApplication::instance())
        m_timer.start();
}

void SimPlayer::OnTick()
{
    if (!m_pMelody)
        return;
    if (!OwnsSpeaker()) {
        // Someone else has sounded or silenced the speaker since our last step: theirs now.
        Finish();
        return;
    }
    m_pMelody->Tick();
    m_pMelody->PlayStep(false, false);
    Remember();
    if (m_pMelody->IsPlayEnded())
        Finish();
}

void SimPlayer::Stop()
{
    if (!m_pMelody)
        return;
    if (OwnsSpeaker())
        m_pMelody->StopPlay(); // silences only when a note of ours sounds
    Finish();
}

void SimPlayer::Finish()
{
    m_timer.stop();
    m_pMelody.reset();
    m_nOwnDivisor = 0;
}

} // namespace tinkla
