#include "sound_player.hpp"

#include <QSoundEffect>
#include <QUrl>

namespace crateward {

namespace {

class QtSoundPlayer : public SoundPlayer {
public:
    void play(const QString& path) override {
        if (!effect_) {
            effect_ = std::make_unique<QSoundEffect>();
        }
        effect_->stop();
        effect_->setSource(QUrl::fromLocalFile(path));
        effect_->play();
    }
    void stop() override {
        if (effect_) {
            effect_->stop();
        }
    }

private:
    std::unique_ptr<QSoundEffect> effect_;
};

std::unique_ptr<SoundPlayer>& installed() {
    static std::unique_ptr<SoundPlayer> player;
    return player;
}

} // namespace

SoundPlayer& SoundPlayer::current() {
    auto& player = installed();
    if (!player) {
        player = std::make_unique<QtSoundPlayer>();
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
