#include "FakeAudioOutput.h"

namespace {
class FakePlayer : public AudioPlayer
{
public:
    explicit FakePlayer(std::shared_ptr<FakeAudioOutput::Record> record) : m_record(std::move(record)) {}
    ~FakePlayer() override { m_record->destroyed = true; }
    void setVolume(double volume) override { m_record->volume = volume; }
    void play() override { m_record->started = true; }
    bool isPlaying() const override { return m_record->started && !m_record->finished; }

private:
    std::shared_ptr<FakeAudioOutput::Record> m_record;
};
} // namespace

std::unique_ptr<AudioPlayer> FakeAudioOutput::createPlayer(const QByteArray &wavBytes)
{
    return makePlayer(wavBytes, {});
}

std::unique_ptr<AudioPlayer> FakeAudioOutput::createPlayer(const QString &wavFilePath)
{
    return makePlayer({}, wavFilePath);
}

std::unique_ptr<AudioPlayer> FakeAudioOutput::makePlayer(const QByteArray &bytes, const QString &filePath)
{
    if (failCreation)
        return nullptr;
    auto record = std::make_shared<Record>();
    record->bytes = bytes;
    record->filePath = filePath;
    records.append(record);
    return std::make_unique<FakePlayer>(record);
}

void FakeAudioOutput::finishAll()
{
    for (const auto &record : std::as_const(records))
        record->finished = true;
}
