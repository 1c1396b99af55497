// The SoundPlayer seam: every sound Crateward plays goes through the
// installed player. The program plays through one shared QSoundEffect, so a
// new play cuts off the one still playing and a machine without an audio
// device stays silent; tests install a RecordingSoundPlayer.
#pragma once

#include <QElapsedTimer>
#include <QString>

#include <memory>
#include <vector>

namespace crateward {

class SoundPlayer {
public:
    virtual ~SoundPlayer() = default;
    // Starts playing the WAV file at `path` once, without waiting for it.
    virtual void play(const QString& path) = 0;
    // Stops what is playing.
    virtual void stop() = 0;

    // The installed player (the Qt one until another is installed).
    static SoundPlayer& current();
    // Installs `player`; returns the one it replaces.
    static std::unique_ptr<SoundPlayer> install(std::unique_ptr<SoundPlayer> player);
};

// One recorded play: the file and the milliseconds since the recorder started.
struct SoundPlay {
    QString path;
    qint64 atMs = 0;
};

class RecordingSoundPlayer : public SoundPlayer {
public:
    RecordingSoundPlayer() { clock_.start(); }
    void play(const QString& path) override { plays.push_back({path, clock_.elapsed()}); }
    void stop() override { ++stops; }
    std::vector<SoundPlay> plays;
    int stops = 0;

private:
    QElapsedTimer clock_;
};

// Installs a RecordingSoundPlayer for the life of the object, then restores
// the previous player.
class ScopedRecordingSoundPlayer {
public:
    ScopedRecordingSoundPlayer();
    ~ScopedRecordingSoundPlayer();
    ScopedRecordingSoundPlayer(const ScopedRecordingSoundPlayer&) = delete;
    ScopedRecordingSoundPlayer& operator=(const ScopedRecordingSoundPlayer&) = delete;
    RecordingSoundPlayer& recorder() { return *recorder_; }

private:
    RecordingSoundPlayer* recorder_;
    std::unique_ptr<SoundPlayer> previous_;
};

} // namespace crateward
