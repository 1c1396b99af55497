#include "SpriteglassDialogs.hpp"

#include "FrmDirectory.hpp"

namespace spriteglass {

std::optional<QString> SpriteglassDialogs::chooseDirectory(QWidget* parent, const QString&,
                                                           const QString& start) {
    const QString chosen = FrmDirectory::Choose(parent, start);
    return chosen.isEmpty() ? std::nullopt : std::optional<QString>(chosen);
}

} // namespace spriteglass
