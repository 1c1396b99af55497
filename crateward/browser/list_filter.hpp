// ListFilter: the find box FileFilter above the list FileView. As one types,
// the list shows every member and folder of the whole archive whose name
// matches (a part of the name, or a wildcard such as "*.fbi"; see
// NameMatcher), with their folder in a fourth column "Folder". Ctrl+F
// (View > Find...) goes to the box; Escape, an empty box or a folder shown
// from the tree returns the list to the folder view. The archive's names
// are read once per open archive and kept, so each keystroke only matches
// and fills.
#pragma once

#include <QLineEdit>
#include <QObject>
#include <QPointer>
#include <QString>

#include <cstdint>
#include <string>
#include <vector>

class QAction;

namespace crateward {

class frmMain;

class ListFilter : public QObject {
    Q_OBJECT
public:
    explicit ListFilter(frmMain& window);

    QLineEdit* box() const { return box_; }
    // Shows what matches `pattern` (the folder view when it is empty).
    void apply(const QString& pattern);
    // The list shows a folder again: the box empties without refilling.
    void forget();
    // The archive closed: its kept names go too.
    void reset();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Member {
        std::uint32_t offset = 0; // into names_
        std::uint32_t length = 0;
        std::uint32_t nameStart = 0; // where the last path part starts
        std::int32_t size = 0;
        bool directory = false;
    };
    void readArchive();
    void focusBox();
    void focusList();

    frmMain& window_;
    QPointer<QLineEdit> box_; // a child of the window's client area
    QAction* find_;
    std::string names_;
    std::vector<Member> members_;
    std::int32_t readHandle_ = 0; // the archive the kept names are of
};

} // namespace crateward
