// Names inside archives are Windows-1252 bytes; the library's text is UTF-8.
// The conversions and the case folding are the toolkit's shared ones.
#pragma once

#include "common/codepage.hpp"

namespace hpiutil {

using common::cp1252ToUtf8;
using common::equalsFolded;
using common::foldCp1252;
using common::foldedName;
using common::lessFolded;
using common::utf8ToCp1252;

} // namespace hpiutil
