// The directory chooser of the extraction commands ("Select a directory..."):
// the directory list Dir1 over the file system, the label CurRep showing its
// current path, and the buttons ok and Annuler. Its result is the chosen
// directory, or an empty text when cancelled.
#pragma once

#include <QDialog>
#include <QString>

class QFileSystemModel;
class QLabel;
class QPushButton;
class QTreeView;

namespace crateward {

class frmChemin : public QDialog {
    Q_OBJECT
public:
    // `initial`, when not empty, is where the list starts.
    frmChemin(QWidget* owner, const QString& initial);

    // The list's current path.
    QString currentPath() const;
    void setCurrentPath(const QString& path);
    const QString& result() const { return result_; }

    // Shows the chooser modal and returns its result.
    static QString choose(QWidget* owner, const QString& initial);

    QTreeView* Dir1;
    QLabel* CurRep;
    QPushButton* ok;
    QPushButton* Annuler;

private:
    QFileSystemModel* model_;
    QString result_;
};

} // namespace crateward
