// The application's style with the menu and tool bars' extension arrows
// drawn instead of read from the style's picture files. Reading any picture
// file makes Qt's image reader load every image format plugin (and the
// libraries under them) to ask which one knows the file, and every menu bar
// asks for its arrow when it is made: a cost of every start, for an arrow
// that shows only when a bar is too narrow for its entries.
#pragma once

#include <QProxyStyle>

namespace common {

class BarArrowStyle : public QProxyStyle {
public:
    // Over the style the application would use (the desktop's, or the one
    // named with -style or QT_STYLE_OVERRIDE).
    BarArrowStyle() = default;

    QIcon standardIcon(StandardPixmap icon, const QStyleOption* option = nullptr,
                       const QWidget* widget = nullptr) const override;
};

} // namespace common
