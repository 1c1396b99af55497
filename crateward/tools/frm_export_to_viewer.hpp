// frmExportToViewer, "Custom export to UnitViewer": the FBI, 3DO and COB
// files of a unit, each either a member of the open archive ("HPI:\\"
// followed by the member path, source mark "hpi") or a file on disk chosen
// with "..." (source mark "file"), packed by "&Launch" into
// "Crateward Unit.ufo" beside the unit viewer, which is then started.
#pragma once

#include <QDialog>
#include <QString>

#include <array>
#include <optional>

class QLineEdit;
class QPushButton;

namespace crateward {

class frmMain;

class frmExportToViewer : public QDialog {
    Q_OBJECT
public:
    explicit frmExportToViewer(frmMain& window);

    // Remembers the three texts as the rows' defaults and shows them with
    // the mark "hpi".
    void AsignDefaut(const QString& fbi, const QString& tdo, const QString& cob);
    void CustomExport();

    QLineEdit* TxtFBI = nullptr;
    QPushButton* CmdBrowseFBI = nullptr;
    QPushButton* DefautFBI = nullptr;
    QLineEdit* Txt3DO = nullptr;
    QPushButton* Command1 = nullptr;
    QPushButton* DefautTDO = nullptr;
    QLineEdit* TxtCOB = nullptr;
    QPushButton* CmdBrowseCOB = nullptr;
    QPushButton* DefautCOB = nullptr;
    QPushButton* cmdResoreFefaut = nullptr;
    QPushButton* CmdLaunch = nullptr;
    QPushButton* CmdClose = nullptr;

    static constexpr const char* kMemberPrefix = "HPI:\\\\";

private:
    enum Row { FBI = 0, TDO = 1, COB = 2 };

    void browse(Row row);
    void restoreDefault(Row row);
    QLineEdit* box(Row row) const;
    // The local file of a row: its disk file, or its member extracted into
    // the working directory. Nothing (after the row's message) when it
    // cannot be had.
    std::optional<QString> localFile(Row row);

    frmMain& window_;
    std::array<QString, 3> defaults_;
};

} // namespace crateward
