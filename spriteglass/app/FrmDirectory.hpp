// The directory dialog of the bulk exports ("Select a Location"): a drive
// list, a directory list, the current path and a button that creates a new
// directory.
#pragma once

#include <QDialog>

class QComboBox;
class QFileSystemModel;
class QLabel;
class QListView;
class QPushButton;

namespace spriteglass {

class FrmDirectory : public QDialog {
public:
    explicit FrmDirectory(QWidget* owner, const QString& start = QString());

    // Shows the dialog modally; the chosen directory ending in "/", or ""
    // when it was cancelled or closed.
    static QString Choose(QWidget* owner, const QString& start = QString());

    // ExportDirectory: set by OK, "" otherwise.
    QString ExportDirectory;
    // The directory list's path.
    QString DirPath() const { return dirPath_; }
    void SetDirPath(const QString& path);

    void CmdOk_Click();
    void CmdCancel_Click();
    void CmdMakeDir_Click();

    QComboBox* Drive;
    QListView* Dir;
    QLabel* LblPath;
    QPushButton* CmdOk;
    QPushButton* CmdCancel;
    QPushButton* CmdMakeDir;

private:
    QFileSystemModel* model_;
    QString dirPath_;
};

} // namespace spriteglass
