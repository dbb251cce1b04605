#pragma once

#include "AudioOutput.h"

// Plays WAV images through Qt Multimedia's QAudioSink on the default output device. Each player owns
// its own sink, so sounds started close together overlap. With no output device every player request
// returns null and nothing waits on the sound server.
class QtAudioOutput : public AudioOutput
{
public:
    std::unique_ptr<AudioPlayer> createPlayer(const QByteArray &wavBytes) override;
    std::unique_ptr<AudioPlayer> createPlayer(const QString &wavFilePath) override;
};
