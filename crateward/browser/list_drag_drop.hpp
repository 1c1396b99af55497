// ListDragDrop: drag and drop between the list and the desktop. Entries
// dragged out of the list go as a text/uri-list of their copies in the
// working directory (a folder with everything below it; while a
// modification is under way, the unpacked files as they are), so a file
// manager or the desktop copies them where they are dropped. A file dropped
// on the window opens as an archive. While a modification is under way,
// files and folders dropped on the list are copied into the unpacked tree
// at the folder shown, asking before anything there is replaced.
#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QUrl>

class QDropEvent;
class QMimeData;

namespace crateward {

class frmMain;

class ListDragDrop : public QObject {
    Q_OBJECT
public:
    explicit ListDragDrop(frmMain& window);

    // The data of a drag of the list entries at `rows` (copies made first).
    QMimeData* dragData(const QList<int>& rows);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    enum class DropKind { None, OpenArchive, CopyIntoTree };
    DropKind kindOf(QObject* target, const QDropEvent& event) const;
    // The unpacked folder the list shows (empty when the list cannot take files).
    QString shownTreeFolder() const;
    void copyIntoTree(const QList<QUrl>& urls);
    void openArchive(const QString& path);

    frmMain& window_;
};

} // namespace crateward
