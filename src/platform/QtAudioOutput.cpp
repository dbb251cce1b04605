#include "QtAudioOutput.h"

#include "WavData.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QBuffer>
#include <QElapsedTimer>
#include <QFile>
#include <QMediaDevices>

namespace {
// Voice lines are a few seconds long; anything far larger is not one of ours.
constexpr qint64 kMaxFileBytes = 32 * 1024 * 1024;
// After the sink has handed over its last bytes, the sound server still plays what it buffered.
constexpr qint64 kTailMs = 300;

class SinkPlayer : public AudioPlayer
{
public:
    SinkPlayer(const QAudioDevice &device, const QAudioFormat &format, const QByteArray &pcm)
        : m_durationMs(format.durationForBytes(qint32(pcm.size())) / 1000),
          m_sink(std::make_unique<QAudioSink>(device, format))
    {
        m_buffer.setData(pcm);
    }

    void setVolume(double volume) override { m_sink->setVolume(volume); }

    void play() override
    {
        m_buffer.open(QIODevice::ReadOnly);
        m_sink->start(&m_buffer);
        m_clock.start();
    }

    bool isPlaying() const override
    {
        if (!m_clock.isValid())
            return false;
        switch (m_sink->state()) {
        case QAudio::ActiveState:
            return true;
        case QAudio::IdleState:
            // Idle after the last byte: the tail is still in the server's buffer.
            return m_clock.elapsed() < m_durationMs + kTailMs;
        default:
            return false;
        }
    }

private:
    qint64 m_durationMs;
    QBuffer m_buffer;
    QElapsedTimer m_clock;
    // Declared last so it stops reading before the buffer goes away.
    std::unique_ptr<QAudioSink> m_sink;
};
} // namespace

std::unique_ptr<AudioPlayer> QtAudioOutput::createPlayer(const QByteArray &wavBytes)
{
    std::optional<WavData> wav = WavData::parse(wavBytes);
    if (!wav || wav->pcm.isEmpty())
        return nullptr;
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull())
        return nullptr;
    QAudioFormat format;
    format.setSampleRate(wav->sampleRate);
    format.setChannelCount(wav->channels);
    format.setSampleFormat(wav->bitsPerSample == 16 ? QAudioFormat::Int16 : QAudioFormat::UInt8);
    return std::make_unique<SinkPlayer>(device, format, wav->pcm);
}

std::unique_ptr<AudioPlayer> QtAudioOutput::createPlayer(const QString &wavFilePath)
{
    QFile file(wavFilePath);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxFileBytes)
        return nullptr;
    return createPlayer(file.readAll());
}
