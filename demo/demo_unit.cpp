#include "demo_unit.hpp"

#include "demo_parts.hpp"

namespace demo {

std::vector<Member> UnitMembers(const Palette& palette) {
    return {
        {"units\\armdemo.fbi", UnitDefinition()},
        {"objects3d\\armdemo.3do", UnitModel()},
        {"objects3d\\armdemo_dead.3do", CorpseModel()},
        {"scripts\\armdemo.cob", UnitScript()},
        {"anims\\armdemo_gadget.gaf", BuildMenuSprites()},
        {"textures\\armdemo.gaf", TextureSprites()},
        {"unitpics\\armdemo.pcx", UnitPicture(palette)},
        {"sounds\\armdemosel.wav", SelectSound()},
        {"sounds\\armdemofire.wav", FireSound()},
        {"weapons\\armdemo_weapons.tdf", WeaponsTable()},
        {"download\\armdemo.tdf", DownloadTable()},
        {"features\\corpses\\armdemo_dead.tdf", CorpseFeature()},
        {"ReadMe.txt", ReadMe()},
    };
}

} // namespace demo
