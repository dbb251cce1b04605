#include "SoundService.h"

#include "Synth.h"
#include "models/Prefs.h"
#include "platform/AudioOutput.h"

#include <QCoreApplication>
#include <QDir>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <algorithm>

namespace {
constexpr double kSynthVolume = 0.85;
constexpr double kNarratorVolume = 1.0;
const QString kSoundsSubfolder = QStringLiteral("grumblix/sounds");
} // namespace

SoundService::SoundService(AudioOutput &output, Prefs &prefs, QStringList narratorFolders,
                           QRandomGenerator *random)
    : m_output(output), m_prefs(prefs), m_narratorFolders(std::move(narratorFolders)), m_random(random)
{
}

SoundService::~SoundService() = default;

QStringList SoundService::defaultNarratorFolders()
{
    QStringList folders;
    // Found from where the program runs rather than from a path built in, so the program does not
    // depend on the folder it was built in: share/ one level up from a test or a program in bin/,
    // two levels up from the program proper under libexec/grumblix/ and from src/shell/ of a build.
    if (QCoreApplication::instance()) {
        const QString here = QCoreApplication::applicationDirPath();
        for (const char *up : {"/../share/", "/../../share/"})
            folders.append(QDir::cleanPath(here + QLatin1String(up) + kSoundsSubfolder));
    }
    for (const QString &data : QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation))
        folders.append(QDir::cleanPath(data + QLatin1Char('/') + kSoundsSubfolder));
    folders.removeDuplicates();
    return folders;
}

SoundChoice SoundService::current() const
{
    return soundChoiceFromRaw(m_prefs.sound()).value_or(SoundChoice::thunk);
}

void SoundService::play(std::optional<SoundChoice> requested)
{
    SoundChoice choice = requested.value_or(current());
    if (choice == SoundChoice::chaos) {
        const QList<SoundChoice> &playable = playableSoundChoices();
        choice = playable.at(qsizetype(m_random->bounded(quint32(playable.size()))));
    }
    if (choice == SoundChoice::off)
        return;

    std::unique_ptr<AudioPlayer> player;
    double volume = kSynthVolume;
    if (choice == SoundChoice::narrator) {
        const std::optional<QString> line = nextNarratorLine();
        if (!line)
            return;
        player = m_output.createPlayer(*line);
        volume = kNarratorVolume;
    } else {
        player = m_output.createPlayer(data(choice));
    }
    if (!player)
        return;

    // Finished players are dropped only now, so a sound is never cut off by the next one.
    std::erase_if(m_players, [](const std::unique_ptr<AudioPlayer> &p) { return !p->isPlaying(); });
    player->setVolume(volume);
    player->play();
    m_players.push_back(std::move(player));
}

void SoundService::warmUp()
{
    const SoundChoice choice = current();
    if (choice == SoundChoice::off || choice == SoundChoice::narrator || choice == SoundChoice::chaos)
        return;
    data(choice);
}

QByteArray SoundService::data(SoundChoice choice)
{
    const auto found = m_cache.find(choice);
    if (found != m_cache.end())
        return found->second;
    QByteArray bytes = Synth::wav(Synth::render(choice));
    m_cache.emplace(choice, bytes);
    return bytes;
}

const QStringList &SoundService::narratorLines()
{
    if (m_narratorLines)
        return *m_narratorLines;
    QStringList lines;
    for (const QString &folder : std::as_const(m_narratorFolders)) {
        const QDir dir(folder);
        // Exact, case-sensitive names; subfolders are not searched.
        const QStringList names = dir.entryList(QDir::Files | QDir::Readable, QDir::NoSort);
        QStringList matching;
        for (const QString &name : names) {
            if (name.startsWith(QLatin1String("narrator-")) && name.endsWith(QLatin1String(".wav")))
                matching.append(name);
        }
        if (matching.isEmpty())
            continue;
        std::sort(matching.begin(), matching.end());
        for (const QString &name : std::as_const(matching))
            lines.append(dir.filePath(name));
        break;
    }
    m_narratorLines = lines;
    return *m_narratorLines;
}

std::optional<QString> SoundService::nextNarratorLine()
{
    const QStringList &all = narratorLines();
    QStringList candidates;
    for (const QString &line : all) {
        if (line != m_lastNarratorLine)
            candidates.append(line);
    }
    if (candidates.isEmpty())
        candidates = all;
    std::optional<QString> picked;
    if (!candidates.isEmpty())
        picked = candidates.at(qsizetype(m_random->bounded(quint32(candidates.size()))));
    m_lastNarratorLine = picked;
    return picked;
}
