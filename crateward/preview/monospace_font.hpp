// The fixed-pitch face of the dump and text windows. A family name is only a
// wish: fontconfig hands back whatever it maps the name to, which on some
// systems is a proportional face, so every candidate is checked with
// QFontInfo before it is used.
#pragma once

#include <QFont>
#include <QStringList>

namespace crateward {

// The first of `wished` that resolves to a fixed-pitch face, else the
// system's fixed font, else the first installed fixed-pitch family, at
// `pointSize` points. Only when no fixed-pitch face is installed at all is
// the system's fixed font returned unchecked.
QFont MonospaceFont(const QStringList& wished, int pointSize);

} // namespace crateward
