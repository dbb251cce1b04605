#pragma once

#include <QByteArray>
#include <optional>

// The PCM part of a RIFF/WAVE image: integer PCM, 8 or 16 bits, any rate and channel count.
struct WavData
{
    int sampleRate = 0;
    int channels = 0;
    int bitsPerSample = 0;
    QByteArray pcm;

    // Walks the chunks; none for anything that is not a complete PCM WAV image. A data chunk that
    // claims more bytes than the image holds (a stream cut short) keeps the bytes that are there.
    static std::optional<WavData> parse(const QByteArray &bytes);
};
