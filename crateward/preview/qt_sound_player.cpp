// The production sound player, built as a module of its own that the
// program loads at its first play: Qt Multimedia and the sound libraries
// under it are not loaded at start-up, nor at all by a run that plays
// nothing.
#include "sound_player.hpp"

#include <QSoundEffect>
#include <QUrl>

namespace {

class QtSoundPlayer : public crateward::SoundPlayer {
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

} // namespace

extern "C" __attribute__((visibility("default"))) crateward::SoundPlayer*
crateward_new_sound_player() {
    return new QtSoundPlayer;
}
