// The parameters of a unit export, shared by the main window (which sets the
// open archive's path when it opens one) and the unit-viewer commands.
#pragma once

#include <string>

namespace crateward {

class classExportParam {
public:
    // The unit's file name before its first "." (armcom for armcom.fbi).
    std::string UnitName;
    // Path of the unit viewer's executable.
    std::string UnitViewPath;
    // Path of the archive that is open.
    std::string HPIchemin;
};

// The one shared instance.
classExportParam& ExportParam();

} // namespace crateward
