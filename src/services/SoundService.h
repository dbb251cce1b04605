#pragma once

#include "SoundChoice.h"

#include <QByteArray>
#include <QStringList>
#include <map>
#include <memory>
#include <optional>
#include <vector>

class AudioOutput;
class AudioPlayer;
class Prefs;
class QRandomGenerator;

// The single press-sound player. Synthesized sounds are rendered once per run and kept as WAV bytes;
// narrator lines are WAV files shipped with the program. Every play makes a new player, so sounds
// started in quick succession overlap. Nothing here ever reports an error: a sound that cannot play is
// skipped. Main thread only.
class SoundService
{
public:
    // `narratorFolders` are searched in order; the first one that holds narrator lines supplies them.
    SoundService(AudioOutput &output, Prefs &prefs, QStringList narratorFolders, QRandomGenerator *random);
    ~SoundService();
    SoundService(const SoundService &) = delete;
    SoundService &operator=(const SoundService &) = delete;

    // Where the program's voice lines are looked for: the data folder of the installation this
    // executable belongs to, the XDG data folders, then the build tree.
    static QStringList defaultNarratorFolders();

    // None plays the chosen sound. Returns at once; playback runs on its own.
    void play(std::optional<SoundChoice> choice = std::nullopt);
    // Renders the chosen synthesized sound ahead of the first press.
    void warmUp();
    // The "sound" preference; thunk when it names no choice.
    SoundChoice current() const;
    // The WAV bytes of a synthesized sound, rendered on first request and cached for the run.
    QByteArray data(SoundChoice choice);

    // The narrator line files ("narrator-*.wav"), sorted by file name; found once, then kept.
    const QStringList &narratorLines();
    // A random line, never the one played last while there are two or more.
    std::optional<QString> nextNarratorLine();

    const std::map<SoundChoice, QByteArray> &cache() const { return m_cache; }
    int playerCount() const { return int(m_players.size()); }
    std::optional<QString> lastNarratorLine() const { return m_lastNarratorLine; }

private:
    AudioOutput &m_output;
    Prefs &m_prefs;
    QStringList m_narratorFolders;
    QRandomGenerator *m_random;
    std::map<SoundChoice, QByteArray> m_cache;
    std::vector<std::unique_ptr<AudioPlayer>> m_players;
    std::optional<QString> m_lastNarratorLine;
    std::optional<QStringList> m_narratorLines;
};
