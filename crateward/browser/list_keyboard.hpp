// ListKeyboard: the list FileView driven from the keyboard as with the
// mouse. Enter does what a double-click does; the arrow, page and
// Home/End keys move the selection and run the click's preview (picture,
// sound pane, selected-file panel); Backspace shows the parent folder (or
// leaves a find); the context-menu key (and Shift+F10) opens the entry's
// pop-up; Ctrl+A selects every entry while the list has the focus, "About"
// keeping Ctrl+A everywhere else. The find box is enabled with the list.
#pragma once

#include <QObject>

class QAbstractItemView;

namespace crateward {

class frmMain;

class ListKeyboard : public QObject {
    Q_OBJECT
public:
    explicit ListKeyboard(frmMain& window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Runs the view's own handling of a moving key, then the click's
    // preview when the current entry changed.
    bool moveAndPreview(QAbstractItemView* view, QEvent* event);
    void toParentFolder();
    void popupMenu(QAbstractItemView* view);

    frmMain& window_;
    bool forwarding_ = false;
};

} // namespace crateward
