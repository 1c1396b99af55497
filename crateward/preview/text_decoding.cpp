#include "text_decoding.hpp"

#include "common/codepage.hpp"

namespace crateward {

QString DecodeWindows1252(std::string_view bytes) {
    return QString::fromStdString(common::cp1252ToUtf8(bytes));
}

} // namespace crateward
