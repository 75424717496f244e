#pragma once

#include <QByteArray>
#include <QString>

#include <memory>

class QProcess;
class QTemporaryFile;

// Plays short sounds without blocking the caller.
class SoundPlayer {
public:
    virtual ~SoundPlayer() = default;
    // Starts playing the bytes of a WAV file and returns at once. While a sound
    // still plays a new one is dropped rather than queued; without an audio
    // device nothing is heard and nothing is reported.
    virtual void PlayAsync(const QByteArray& wave) = 0;
};

// Hands the sound to the desktop's command-line player (PipeWire, PulseAudio
// or ALSA, the first one installed), so the program links no audio library.
// A missing player or audio device only means silence: the player's output is
// discarded and its exit status is never looked at.
class ProcessSoundPlayer final : public SoundPlayer {
public:
    ProcessSoundPlayer();
    ~ProcessSoundPlayer() override;
    ProcessSoundPlayer(const ProcessSoundPlayer&) = delete;
    ProcessSoundPlayer& operator=(const ProcessSoundPlayer&) = delete;

    void PlayAsync(const QByteArray& wave) override;

    // The player program found on the PATH; empty when there is none.
    const QString& Program() const { return program_; }

private:
    bool StoreWave(const QByteArray& wave);

    QString program_;
    std::unique_ptr<QProcess> process_;
    std::unique_ptr<QTemporaryFile> file_; // the last sound, as a file the player can read
    QByteArray stored_;
};
