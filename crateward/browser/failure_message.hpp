// The error boxes of extraction and packing: the quoted message as it
// stands, and the archive library's reason as the box's detailed text.
#pragma once

#include <QString>

class QWidget;

namespace crateward {

// An error box (error icon, OK) with `reason` under "Show Details...".
void ShowFailure(QWidget* owner, const QString& text, const QString& title, const QString& reason);
// The same with the library's reason for its last failure (HPILastError).
void ShowLibraryFailure(QWidget* owner, const QString& text, const QString& title);

} // namespace crateward
