#include "crateward_dialogs.hpp"

#include "frm_chemin.hpp"

namespace crateward {

std::optional<QString> CratewardDialogs::chooseDirectory(QWidget* parent, const QString&,
                                                         const QString& start) {
    const QString chosen = frmChemin::choose(parent, start);
    return chosen.isEmpty() ? std::nullopt : std::optional<QString>(chosen);
}

} // namespace crateward
