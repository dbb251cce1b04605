#pragma once

#include <QByteArray>
#include <QString>
#include <memory>

// One sound being played. It plays once from start to end; it is never rewound or reused.
class AudioPlayer
{
public:
    virtual ~AudioPlayer() = default;
    // Linear gain, 0 to 1; set before play().
    virtual void setVolume(double volume) = 0;
    // Starts playback and returns at once.
    virtual void play() = 0;
    // True from play() until the sound has been heard to its end (or playback failed).
    virtual bool isPlaying() const = 0;
};

// Makes players for the machine's audio output. Both factories return null when the sound cannot be
// played: unreadable or malformed data, or no output device at all.
class AudioOutput
{
public:
    virtual ~AudioOutput() = default;
    virtual std::unique_ptr<AudioPlayer> createPlayer(const QByteArray &wavBytes) = 0;
    virtual std::unique_ptr<AudioPlayer> createPlayer(const QString &wavFilePath) = 0;
};
