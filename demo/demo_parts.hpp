// The files of the demo unit, one function each.
#pragma once

#include "demo_unit.hpp"

#include <cstdint>
#include <string>
#include <vector>

namespace demo {

using Bytes = std::vector<std::uint8_t>;

// Text files of the game, with CRLF line ends.
Bytes UnitDefinition(); // units\<unit>.fbi
Bytes WeaponsTable();   // weapons\<unit>_weapons.tdf
Bytes DownloadTable();  // download\<unit>.tdf
Bytes CorpseFeature();  // features\corpses\<unit>_dead.tdf
Bytes ReadMe();         // ReadMe.txt

// Pictures and models.
Bytes UnitModel();                         // objects3d\<unit>.3do
Bytes CorpseModel();                       // objects3d\<unit>_dead.3do
Bytes BuildMenuSprites();                  // anims\<unit>_gadget.gaf
Bytes TextureSprites();                    // textures\<unit>.gaf
Bytes UnitPicture(const Palette& palette); // unitpics\<unit>.pcx

// Sounds and the compiled script.
Bytes SelectSound(); // sounds\<unit>sel.wav
Bytes FireSound();   // sounds\<unit>fire.wav
Bytes UnitScript();  // scripts\<unit>.cob

} // namespace demo
