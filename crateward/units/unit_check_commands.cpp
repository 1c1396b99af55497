// The "Units" menu's check entries and UnitCheckWindow's commands: opening
// a line's member in the main window, copying the report, the kept
// placement.
#include "unit_check_commands.hpp"

#include <QAction>
#include <QClipboard>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>

#include <algorithm>

#include "busy_scope.hpp"
#include "common/dialogs.hpp"
#include "file_view_control.hpp"
#include "file_view_model.hpp"
#include "frm_main.hpp"
#include "hpiutil/game_directory.hpp"
#include "main_window_link.hpp"
#include "preview_dispatch.hpp"
#include "settings_keys.hpp"
#include "twips.hpp"
#include "unit_check_window.hpp"

namespace crateward {

namespace {

constexpr const char* kSection = "Unit check";
constexpr const char* kGatherKey = "Gather Everything";
const QString kTitle = QStringLiteral("Check unit");

void tell(QWidget* parent, const QString& message, common::MessageIcon icon) {
    common::Dialogs::current().message(parent, message, kTitle, icon, common::MessageButtons::Ok);
}

} // namespace

QString UnitCheckGameFolder() {
    return QString::fromStdString(hpiutil::findGameDirectory().string());
}

void AddUnitCheckCommands(frmMain& main, QMenu* units) {
    auto* check = new QAction(QStringLiteral("Check unit"), &main);
    check->setObjectName(QStringLiteral("mnuCheckUnit"));
    check->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_U));
    // The check comes first, the repack's option right after the repack.
    QAction* repack =
        main.findChild<QAction*>(QStringLiteral("RepackUnit"), Qt::FindDirectChildrenOnly);
    QAction* first = units->actions().isEmpty() ? nullptr : units->actions().front();
    units->insertAction(first, check);
    QObject::connect(check, &QAction::triggered, &main, [&main] { mnuCheckUnit_Click(main); });

    auto* gather = new QAction(QStringLiteral("Gather everything the unit check finds"), &main);
    gather->setObjectName(QStringLiteral("mnuGatherUnitCheck"));
    gather->setToolTip(QStringLiteral("The unit repack also packs every file the unit check "
                                      "finds in the open archive"));
    gather->setCheckable(true);
    gather->setChecked(main.settings().readFlag(kApp, kSection, kGatherKey, false));
    const auto entries = units->actions();
    const auto at = entries.indexOf(repack);
    units->insertAction(at >= 0 && at + 1 < entries.size() ? entries[at + 1] : nullptr, gather);
    QObject::connect(gather, &QAction::toggled, &main, [&main](bool on) {
        main.settings().writeFlag(kApp, kSection, kGatherKey, on);
    });
}

bool GatherEverythingTheUnitCheckFinds(const frmMain& main) {
    const auto* gather = main.findChild<QAction*>(QStringLiteral("mnuGatherUnitCheck"));
    return gather && gather->isChecked();
}

QStringList UnitCheckMembersInOpenArchive(const frmMain& main, const QString& definition,
                                          QString* error) {
    const UnitCheckView view = RunUnitCheck(main.archivePath(), definition, UnitCheckGameFolder());
    if (error) {
        *error = view.error;
    }
    return view.membersInArchive();
}

void mnuCheckUnit_Click(frmMain& main) {
    if (main.archiveHandle() == 0) {
        return;
    }
    const int row = main.FileView->selectedRow();
    const QString name = row >= 0 ? main.FileView->model()->entry(row).name : QString();
    if (!name.endsWith(QLatin1String(".fbi"), Qt::CaseInsensitive)) {
        tell(&main, QStringLiteral("Select a unit definition (a .fbi file) in the list first."),
             common::MessageIcon::Information);
        return;
    }
    UnitCheckView view;
    {
        BusyScope busy(main);
        main.statusPanel(1)->setText(QStringLiteral("Checking unit..."));
        view = RunUnitCheck(main.archivePath(), main.memberPath(row), UnitCheckGameFolder());
        main.statusPanel(1)->setText(QStringLiteral("Ready"));
    }
    auto* window = new UnitCheckWindow(&main);
    window->showCheck(std::move(view));
    window->show();
}

void UnitCheckWindow::openLine(int index) {
    if (index < 0 || std::size_t(index) >= view_.lines.size()) {
        return;
    }
    const DependencyLine& line = view_.lines[std::size_t(index)];
    if (line.member.isEmpty()) {
        lblStatus->setText(QStringLiteral("%1 is missing").arg(line.path));
        return;
    }
    if (line.looseFile) {
        tell(this,
             QStringLiteral("%1 is a loose file of the game folder, in no archive:\n%2")
                 .arg(line.member, line.sourceFile),
             common::MessageIcon::Information);
        return;
    }
    const QString archive = line.inOpenArchive ? view_.archive : line.sourceFile;
    if (main_->archivePath() != archive && !line.inOpenArchive) {
        const auto answer = common::Dialogs::current().message(
            this,
            QStringLiteral("%1 lies in %2 of the game folder.\nOpen that archive in the main "
                           "window?")
                .arg(line.member, line.source),
            kTitle, common::MessageIcon::Question, common::MessageButtons::YesNo);
        if (answer != common::MessageAnswer::Yes) {
            return;
        }
    }
    if (!SelectMemberInMainWindow(*main_, archive, line.member)) {
        lblStatus->setText(QStringLiteral("%1 could not be opened").arg(line.member));
        return;
    }
    main_->previewDispatch()->FileView_DblClick(main_->FileView->selectedRow());
}

void UnitCheckWindow::cmdCopyReport_Click() {
    QGuiApplication::clipboard()->setText(view_.report);
    lblStatus->setText(QStringLiteral("Report copied to the clipboard"));
}

void UnitCheckWindow::restorePlacement() {
    const auto& settings = main_->settings();
    const long top = settings.readNumber(kApp, kSection, "Check Top", 1200);
    const long left = settings.readNumber(kApp, kSection, "Check Left", 1200);
    const long width = settings.readNumber(kApp, kSection, "Check Width", 14000);
    const long height = settings.readNumber(kApp, kSection, "Check Height", 9000);
    loaded_ = {int(left), int(top), int(width), int(height)};
    move(px(left), px(top));
    resize(std::max(1, px(width)), std::max(1, px(height)));
}

void UnitCheckWindow::savePlacement() {
    if (saved_) {
        return;
    }
    saved_ = true;
    const auto& settings = main_->settings();
    settings.writeNumber(kApp, kSection, "Check Top", keptTwips(loaded_.y(), y()));
    settings.writeNumber(kApp, kSection, "Check Left", keptTwips(loaded_.x(), x()));
    settings.writeNumber(kApp, kSection, "Check Width", keptTwips(loaded_.width(), width()));
    settings.writeNumber(kApp, kSection, "Check Height", keptTwips(loaded_.height(), height()));
}

void UnitCheckWindow::closeEvent(QCloseEvent* event) {
    savePlacement();
    QWidget::closeEvent(event);
}

} // namespace crateward
