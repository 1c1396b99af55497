#include "list_keyboard.hpp"

#include <QAbstractItemView>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QTreeView>
#include <QTreeWidget>

#include "file_view_control.hpp"
#include "file_view_model.hpp"
#include "frm_main.hpp"
#include "list_filter.hpp"

namespace crateward {

namespace {

bool isMovingKey(int key) {
    switch (key) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Home:
    case Qt::Key_End:
        return true;
    default:
        return false;
    }
}

} // namespace

ListKeyboard::ListKeyboard(frmMain& window) : QObject(&window), window_(window) {
    setObjectName(QStringLiteral("ListKeyboard"));
    window.FileView->iconView()->installEventFilter(this);
    window.FileView->reportView()->installEventFilter(this);
    window.FileView->installEventFilter(this);
}

bool ListKeyboard::eventFilter(QObject* watched, QEvent* event) {
    if (watched == window_.FileView && event->type() == QEvent::EnabledChange) {
        // While a long command runs the list is disabled; the find box goes
        // with it, so no keystroke refills the list under the command.
        if (QLineEdit* box = window_.listFilter_->box()) {
            box->setEnabled(window_.FileView->isEnabled());
        }
        return false;
    }
    auto* view = qobject_cast<QAbstractItemView*>(watched);
    if (!view || forwarding_) {
        return QObject::eventFilter(watched, event);
    }
    if (event->type() == QEvent::ShortcutOverride) {
        // The list takes Ctrl+A before the window's "About" shortcut does.
        if (static_cast<QKeyEvent*>(event)->matches(QKeySequence::SelectAll)) {
            event->accept();
            return true;
        }
        return false;
    }
    if (event->type() == QEvent::ContextMenu &&
        static_cast<QContextMenuEvent*>(event)->reason() == QContextMenuEvent::Keyboard) {
        popupMenu(view);
        return true;
    }
    if (event->type() != QEvent::KeyPress) {
        return QObject::eventFilter(watched, event);
    }
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->matches(QKeySequence::SelectAll)) {
        view->selectAll();
        return true;
    }
    const Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
    switch (key->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (modifiers == Qt::NoModifier) {
            window_.FileView_DblClick(window_.FileView->selectedRow());
            return true;
        }
        return false;
    case Qt::Key_Backspace:
        if (modifiers == Qt::NoModifier) {
            toParentFolder();
            return true;
        }
        return false;
    case Qt::Key_Menu:
        popupMenu(view);
        return true;
    default:
        break;
    }
    if (isMovingKey(key->key())) {
        return moveAndPreview(view, event);
    }
    return QObject::eventFilter(watched, event);
}

bool ListKeyboard::moveAndPreview(QAbstractItemView* view, QEvent* event) {
    const QModelIndex before = view->currentIndex();
    forwarding_ = true;
    QCoreApplication::sendEvent(view, event);
    forwarding_ = false;
    const QModelIndex after = view->currentIndex();
    // Shift and Ctrl moves pick entries; a plain move previews as a click.
    const auto modifiers = static_cast<QKeyEvent*>(event)->modifiers() & ~Qt::KeypadModifier;
    if (after.isValid() && after.row() != before.row() && modifiers == Qt::NoModifier) {
        window_.lastButton_ = 0;
        window_.FileView_ItemClick(after.row());
    }
    return true;
}

void ListKeyboard::toParentFolder() {
    if (window_.FileView->model()->showsFound()) {
        window_.listFilter_->box()->clear(); // back to the folder the tree shows
        return;
    }
    QTreeWidgetItem* node = window_.Tree->currentItem();
    if (!node || !node->parent()) {
        return;
    }
    const QString child = node->text(0);
    window_.Tree->setCurrentItem(node->parent());
    window_.Tree->scrollToItem(node->parent());
    // The folder just left is the selected entry, as file managers do.
    const int row = window_.FileView->model()->rowOf(child);
    if (row >= 0) {
        window_.FileView->selectRow(row);
        window_.FileView->currentView()->scrollTo(window_.FileView->model()->index(row, 0));
    }
}

void ListKeyboard::popupMenu(QAbstractItemView* view) {
    const int row = window_.FileView->selectedRow();
    if (row < 0) {
        return;
    }
    window_.lastButton_ = 0;
    window_.FileView_ItemClick(row);
    const QRect rect = view->visualRect(window_.FileView->model()->index(row, 0));
    window_.FileViewPopupMenu->popup(view->viewport()->mapToGlobal(rect.bottomLeft()));
}

} // namespace crateward
