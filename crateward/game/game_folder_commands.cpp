// GameFolderWindow's commands: open the providing archive in the main
// window, extract, the sources tab and the kept placement.
#include "game_folder_window.hpp"

#include <QCloseEvent>
#include <QLabel>
#include <QTreeWidget>

#include <algorithm>

#include "common/dialogs.hpp"
#include "frm_main.hpp"
#include "main_window_link.hpp"
#include "settings_keys.hpp"
#include "twips.hpp"

namespace crateward {

namespace {

constexpr const char* kSection = "Game folder";

QString text(const std::string& s) {
    return QString::fromStdString(s);
}

void tell(QWidget* parent, const QString& message, common::MessageIcon icon) {
    common::Dialogs::current().message(parent, message, QStringLiteral("Game folder"), icon,
                                       common::MessageButtons::Ok);
}

} // namespace

void GameFolderWindow::cmdOpenInArchive_Click() {
    const auto node = selectedNode();
    if (!node) {
        return;
    }
    const auto& provider = game_->copies(*node).front();
    const auto& source = game_->sources()[provider.source];
    const QString member = text(game_->path(*node));
    if (source.kind == gamefolder::SourceKind::Loose) {
        const QString onDisk = text(game_->folder().string()) + QLatin1Char('/') +
                               QString(member).replace(QLatin1Char('\\'), QLatin1Char('/'));
        tell(this,
             QStringLiteral("%1 is a loose file of the game folder, in no archive:\n%2")
                 .arg(member, onDisk),
             common::MessageIcon::Information);
        return;
    }
    SelectMemberInMainWindow(*main_, text(source.path.string()), member);
}

void GameFolderWindow::cmdExtract_Click() {
    const auto node = selectedNode();
    if (!node) {
        return;
    }
    auto destination = common::Dialogs::current().chooseDirectory(
        this, QStringLiteral("Extract to"), text(game_->folder().string()));
    if (!destination || destination->isEmpty()) {
        return;
    }
    const std::int32_t roots[] = {*node};
    const auto summary = game_->extract(destination->toStdString(), roots);
    if (!summary.failures.empty()) {
        QStringList lines;
        for (const auto& f : summary.failures) {
            lines << text(f.message());
        }
        tell(this, lines.join(QLatin1Char('\n')), common::MessageIcon::Warning);
        return;
    }
    lblStatus->setText(QStringLiteral("%1 files extracted").arg(summary.filesWritten));
}

void GameFolderWindow::fillSources() {
    Sources->clear();
    const auto& sources = game_->sources();
    for (std::uint32_t i = 0; i < sources.size(); ++i) {
        const auto& s = sources[i];
        auto* item = new QTreeWidgetItem(Sources);
        item->setText(0, QString::number(i + 1));
        item->setText(1, text(game_->sourceName(i)));
        item->setText(2, QString::fromLatin1(gamefolder::kindName(s.kind)));
        item->setText(3, s.skipped ? QString() : QString::number(s.members));
        item->setText(4, s.skipped ? QStringLiteral("Skipped: ") + text(s.reason)
                                   : QStringLiteral("Mounted"));
        item->setToolTip(1, text(s.path.string()));
        if (s.skipped) {
            item->setForeground(4, QColor(0xB0, 0x20, 0x20));
        }
    }
    for (int c = 0; c < 4; ++c) {
        Sources->resizeColumnToContents(c);
    }
    Problems->clear();
    for (const auto& p : game_->problems()) {
        auto* item = new QTreeWidgetItem(Problems);
        item->setText(0, text(p.path));
        item->setText(1, text(p.what));
    }
    Problems->resizeColumnToContents(0);
}

void GameFolderWindow::restorePlacement() {
    const auto& settings = main_->settings();
    const long top = settings.readNumber(kApp, kSection, "Game Top", 1500);
    const long left = settings.readNumber(kApp, kSection, "Game Left", 1500);
    const long width = settings.readNumber(kApp, kSection, "Game Width", 14000);
    const long height = settings.readNumber(kApp, kSection, "Game Height", 8000);
    loaded_ = {int(left), int(top), int(width), int(height)};
    move(px(left), px(top));
    resize(std::max(1, px(width)), std::max(1, px(height)));
}

void GameFolderWindow::savePlacement() {
    if (saved_) {
        return;
    }
    saved_ = true;
    const auto& settings = main_->settings();
    settings.writeNumber(kApp, kSection, "Game Top", keptTwips(loaded_.y(), y()));
    settings.writeNumber(kApp, kSection, "Game Left", keptTwips(loaded_.x(), x()));
    settings.writeNumber(kApp, kSection, "Game Width", keptTwips(loaded_.width(), width()));
    settings.writeNumber(kApp, kSection, "Game Height", keptTwips(loaded_.height(), height()));
}

void GameFolderWindow::closeEvent(QCloseEvent* event) {
    savePlacement();
    QWidget::closeEvent(event);
}

} // namespace crateward
