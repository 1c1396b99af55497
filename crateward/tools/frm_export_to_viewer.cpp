#include "frm_export_to_viewer.hpp"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "busy_scope.hpp"
#include "common/dialogs.hpp"
#include "frm_main.hpp"
#include "launcher.hpp"
#include "member_paths.hpp"
#include "mod_hpiutil.hpp"
#include "preview_dispatch.hpp"
#include "program_commands.hpp"
#include "unit_viewer_export.hpp"
#include "working_copy.hpp"

namespace crateward {

namespace {

constexpr const char* kFileMark = "file";
constexpr const char* kArchiveMark = "hpi";
const char* const kTypes[] = {"FBI", "3DO", "COB"};

QPushButton* button(QWidget* parent, const char* name, const QString& text) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(QLatin1String(name));
    b->setAutoDefault(false);
    return b;
}

} // namespace

frmExportToViewer::frmExportToViewer(frmMain& window) : QDialog(&window), window_(window) {
    setObjectName(QStringLiteral("frmExportToViewer"));
    setWindowTitle(QStringLiteral("Custom export to UnitViewer"));
    auto* grid = new QGridLayout;
    const char* boxes[] = {"TxtFBI", "Txt3DO", "TxtCOB"};
    const char* browses[] = {"CmdBrowseFBI", "Command1", "CmdBrowseCOB"};
    const char* defaults[] = {"DefautFBI", "DefautTDO", "DefautCOB"};
    QLineEdit** boxFields[] = {&TxtFBI, &Txt3DO, &TxtCOB};
    QPushButton** browseFields[] = {&CmdBrowseFBI, &Command1, &CmdBrowseCOB};
    QPushButton** defaultFields[] = {&DefautFBI, &DefautTDO, &DefautCOB};
    for (int row = 0; row < 3; ++row) {
        grid->addWidget(new QLabel(QString::fromLatin1(kTypes[row]) + QStringLiteral(" file :")),
                        row, 0);
        auto* text = new QLineEdit(this);
        text->setObjectName(QLatin1String(boxes[row]));
        text->setMinimumWidth(320);
        *boxFields[row] = text;
        grid->addWidget(text, row, 1);
        *browseFields[row] = button(this, browses[row], QStringLiteral("..."));
        grid->addWidget(*browseFields[row], row, 2);
        *defaultFields[row] = button(this, defaults[row], QStringLiteral("Default"));
        grid->addWidget(*defaultFields[row], row, 3);
        const Row r = Row(row);
        connect(*browseFields[row], &QPushButton::clicked, this, [this, r] { browse(r); });
        connect(*defaultFields[row], &QPushButton::clicked, this, [this, r] { restoreDefault(r); });
    }
    cmdResoreFefaut = button(this, "cmdResoreFefaut", QStringLiteral("&Restore Default"));
    CmdLaunch = button(this, "CmdLaunch", QStringLiteral("&Launch"));
    CmdClose = button(this, "CmdClose", QStringLiteral("&Close"));
    connect(cmdResoreFefaut, &QPushButton::clicked, this, [this] {
        for (Row r : {FBI, TDO, COB}) {
            restoreDefault(r);
        }
    });
    connect(CmdLaunch, &QPushButton::clicked, this, &frmExportToViewer::CustomExport);
    connect(CmdClose, &QPushButton::clicked, this, &QDialog::close);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdResoreFefaut);
    buttons->addStretch();
    buttons->addWidget(CmdLaunch);
    buttons->addWidget(CmdClose);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(
        new QLabel(QStringLiteral("Make sure ObjectName is set to the 3DO filename.")));
    layout->addLayout(buttons);
}

QLineEdit* frmExportToViewer::box(Row row) const {
    return row == FBI ? TxtFBI : row == TDO ? Txt3DO : TxtCOB;
}

void frmExportToViewer::AsignDefaut(const QString& fbi, const QString& tdo, const QString& cob) {
    defaults_ = {fbi, tdo, cob};
    for (Row r : {FBI, TDO, COB}) {
        restoreDefault(r);
    }
}

void frmExportToViewer::restoreDefault(Row row) {
    box(row)->setText(defaults_[row]);
    box(row)->setProperty("tag", QLatin1String(kArchiveMark));
}

void frmExportToViewer::browse(Row row) {
    const QString type = QString::fromLatin1(kTypes[row]);
    const QString ext = type.toLower();
    const auto chosen = common::Dialogs::current().openFile(
        this, QString(), type + QStringLiteral(" files (*.") + ext + QStringLiteral(")|*.") + ext,
        QString::fromStdString(GameDirectory()));
    if (!chosen || chosen->isEmpty()) {
        return;
    }
    box(row)->setText(*chosen);
    box(row)->setProperty("tag", QLatin1String(kFileMark));
}

std::optional<QString> frmExportToViewer::localFile(Row row) {
    auto& dialogs = common::Dialogs::current();
    const QString type = QString::fromLatin1(kTypes[row]);
    const QString text = box(row)->text();
    if (box(row)->property("tag").toString() == QLatin1String(kFileMark)) {
        if (QFileInfo(text).isFile()) {
            return text;
        }
        dialogs.message(this,
                        QStringLiteral("The ") + type + QStringLiteral(" file doesn't exist !"),
                        QString(), common::MessageIcon::Critical, common::MessageButtons::Ok);
        return std::nullopt;
    }
    // The member's copy lies in the working directory under its full member
    // path; during a modification the unpacked file is taken as it is.
    const QString member = text.mid(6);
    const bool modifying = window_.previewDispatch() && window_.previewDispatch()->modifying();
    if (auto copy =
            ExtractedCopy(window_.archiveHandle(), window_.workingDirectory(), member, modifying)) {
        return copy;
    }
    dialogs.message(this, QStringLiteral("Error extracting ") + type + QStringLiteral(" file !"),
                    QString(), common::MessageIcon::Critical, common::MessageButtons::Ok);
    return std::nullopt;
}

void frmExportToViewer::CustomExport() {
    BusyScope busy(window_);
    const auto tdo = localFile(TDO);
    if (!tdo) {
        return;
    }
    const auto cob = localFile(COB);
    if (!cob) {
        return;
    }
    const auto fbi = localFile(FBI);
    if (!fbi) {
        return;
    }
    const std::string viewer = window_.programCommands()->programs().UnitViewerPath;
    // Without a unit viewer there is no folder to write into (the archive
    // would land at the root of the file system).
    if (viewer.empty()) {
        return;
    }
    const std::filesystem::path target =
        std::filesystem::path(FolderOf(viewer)) / "Crateward Unit.ufo";
    auto encoded = [](const QString& s) {
        return std::filesystem::path(QFile::encodeName(s).toStdString());
    };
    if (PackCustomExport(target, encoded(*fbi), encoded(*cob), encoded(*tdo))) {
        LaunchProgram(QString::fromStdString(viewer), QString());
    }
}

} // namespace crateward
