#pragma once

#include "platform/AudioOutput.h"

#include <QList>
#include <memory>

// Records every player it makes; a test decides when a player has finished and whether creation fails.
class FakeAudioOutput : public AudioOutput
{
public:
    struct Record
    {
        QByteArray bytes;
        QString filePath;
        double volume = -1.0;
        bool started = false;
        bool finished = false;
        bool destroyed = false;
    };

    std::unique_ptr<AudioPlayer> createPlayer(const QByteArray &wavBytes) override;
    std::unique_ptr<AudioPlayer> createPlayer(const QString &wavFilePath) override;

    // Marks every player made so far as having played to its end.
    void finishAll();

    // While set, both factories fail as a real output does without a device.
    bool failCreation = false;
    // One entry per player made, in order; entries outlive their players.
    QList<std::shared_ptr<Record>> records;

private:
    std::unique_ptr<AudioPlayer> makePlayer(const QByteArray &bytes, const QString &filePath);
};
