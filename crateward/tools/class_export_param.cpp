#include "class_export_param.hpp"

namespace crateward {

classExportParam& ExportParam() {
    static classExportParam param;
    return param;
}

} // namespace crateward
