#include "sound_player.hpp"

#include <QCoreApplication>
#include <QDir>
#include <QLibrary>

namespace crateward {

namespace {

// Plays through the sound module (one shared QSoundEffect), loaded at the
// first play from the program's library folder: beside the program in the
// build tree, ../lib/crateward in an install. Without the module, or
// without an audio device, nothing is heard.
class ModuleSoundPlayer : public SoundPlayer {
public:
    void play(const QString& path) override {
        if (SoundPlayer* player = loaded()) {
            player->play(path);
        }
    }
    void stop() override {
        if (player_) {
            player_->stop();
        }
    }

private:
    SoundPlayer* loaded() {
        if (!tried_) {
            tried_ = true;
            const QDir program(QCoreApplication::applicationDirPath());
            for (const char* folder : {"../lib/crateward", "../lib"}) {
                QLibrary module(program.absoluteFilePath(QLatin1String(folder)) +
                                QStringLiteral("/libcrateward_sound"));
                using Make = SoundPlayer* (*)();
                if (auto make =
                        reinterpret_cast<Make>(module.resolve("crateward_new_sound_player"))) {
                    player_.reset(make());
                    break;
                }
            }
        }
        return player_.get();
    }

    bool tried_ = false;
    std::unique_ptr<SoundPlayer> player_;
};

std::unique_ptr<SoundPlayer>& installed() {
    static std::unique_ptr<SoundPlayer> player;
    return player;
}

} // namespace

SoundPlayer& SoundPlayer::current() {
    auto& player = installed();
    if (!player) {
        player = std::make_unique<ModuleSoundPlayer>();
    }
    return *player;
}

std::unique_ptr<SoundPlayer> SoundPlayer::install(std::unique_ptr<SoundPlayer> player) {
    auto previous = std::move(installed());
    installed() = std::move(player);
    return previous;
}

ScopedRecordingSoundPlayer::ScopedRecordingSoundPlayer() {
    auto recorder = std::make_unique<RecordingSoundPlayer>();
    recorder_ = recorder.get();
    previous_ = SoundPlayer::install(std::move(recorder));
}

ScopedRecordingSoundPlayer::~ScopedRecordingSoundPlayer() {
    SoundPlayer::install(std::move(previous_));
}

} // namespace crateward
