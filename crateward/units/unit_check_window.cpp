#include "unit_check_window.hpp"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <functional>

#include "frm_main.hpp"
#include "owned_window.hpp"

namespace crateward {

namespace {

constexpr int kLineRole = Qt::UserRole;

QColor stateColour(DependencyState state) {
    switch (state) {
    case DependencyState::Found:
        return QColor(0x1E, 0x7A, 0x1E);
    case DependencyState::Shadowed:
        return QColor(0x9A, 0x5B, 0x00);
    case DependencyState::Error:
        return QColor(0xC0, 0x1C, 0x1C);
    case DependencyState::Warning:
        return QColor(0xC8, 0x6E, 0x00);
    case DependencyState::Note:
        return QColor(0x24, 0x5C, 0xA8);
    }
    return {};
}

// A round badge in the state's colour with its sign, drawn here so it looks
// the same under every style and icon theme.
QIcon stateIcon(DependencyState state) {
    static QIcon cache[5];
    QIcon& icon = cache[int(state)];
    if (!icon.isNull()) {
        return icon;
    }
    for (int size : {16, 24, 32}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(stateColour(state));
        p.drawEllipse(QRectF(0.5, 0.5, size - 1.0, size - 1.0));
        p.setPen(QPen(Qt::white, size / 8.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        const double s = size;
        switch (state) {
        case DependencyState::Found: // a tick
            p.drawPolyline(
                QPolygonF({{s * 0.27, s * 0.52}, {s * 0.44, s * 0.69}, {s * 0.74, s * 0.33}}));
            break;
        case DependencyState::Error: // a cross
            p.drawLine(QPointF(s * 0.32, s * 0.32), QPointF(s * 0.68, s * 0.68));
            p.drawLine(QPointF(s * 0.68, s * 0.32), QPointF(s * 0.32, s * 0.68));
            break;
        case DependencyState::Shadowed: // two stacked bars: another copy lies below
            p.drawLine(QPointF(s * 0.3, s * 0.4), QPointF(s * 0.7, s * 0.4));
            p.drawLine(QPointF(s * 0.3, s * 0.62), QPointF(s * 0.7, s * 0.62));
            break;
        case DependencyState::Warning: // an exclamation mark
            p.drawLine(QPointF(s * 0.5, s * 0.25), QPointF(s * 0.5, s * 0.56));
            p.drawPoint(QPointF(s * 0.5, s * 0.74));
            break;
        case DependencyState::Note: // an "i"
            p.drawPoint(QPointF(s * 0.5, s * 0.27));
            p.drawLine(QPointF(s * 0.5, s * 0.45), QPointF(s * 0.5, s * 0.75));
            break;
        }
        p.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

bool isProblem(DependencyState state) {
    return state != DependencyState::Found;
}

} // namespace

UnitCheckWindow::UnitCheckWindow(frmMain* owner) : QWidget(owner, kOwnedWindowFlags), main_(owner) {
    setObjectName(QStringLiteral("UnitCheckWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Check unit"));
    buildControls();
    restorePlacement();
}

void UnitCheckWindow::buildControls() {
    auto* layout = new QVBoxLayout(this);
    lblSummary = new QLabel(this);
    lblSummary->setObjectName(QStringLiteral("lblSummary"));
    lblSummary->setWordWrap(true);
    lblSummary->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(lblSummary);

    Tree = new QTreeWidget(this);
    Tree->setObjectName(QStringLiteral("Tree"));
    Tree->setHeaderLabels({QStringLiteral("Kind"), QStringLiteral("Name"), QStringLiteral("Path"),
                           QStringLiteral("State"), QStringLiteral("Source")});
    Tree->setUniformRowHeights(true);
    Tree->setAlternatingRowColors(true);
    // A double-click opens the line's member; the tree stays as it is.
    Tree->setExpandsOnDoubleClick(false);
    Tree->header()->resizeSection(ColKind, 150);
    Tree->header()->resizeSection(ColName, 150);
    Tree->header()->resizeSection(ColPath, 260);
    Tree->header()->resizeSection(ColState, 100);
    layout->addWidget(Tree, 1);

    auto* buttons = new QHBoxLayout;
    chkProblemsOnly = new QCheckBox(QStringLiteral("Only problems"), this);
    chkProblemsOnly->setObjectName(QStringLiteral("chkProblemsOnly"));
    lblStatus = new QLabel(this);
    lblStatus->setObjectName(QStringLiteral("lblStatus"));
    cmdOpen = new QPushButton(QStringLiteral("Open"), this);
    cmdOpen->setObjectName(QStringLiteral("cmdOpen"));
    cmdCopyReport = new QPushButton(QStringLiteral("Copy report"), this);
    cmdCopyReport->setObjectName(QStringLiteral("cmdCopyReport"));
    cmdClose = new QPushButton(QStringLiteral("Close"), this);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    buttons->addWidget(chkProblemsOnly);
    buttons->addWidget(lblStatus, 1);
    buttons->addWidget(cmdOpen);
    buttons->addWidget(cmdCopyReport);
    buttons->addWidget(cmdClose);
    layout->addLayout(buttons);

    connect(Tree, &QTreeWidget::itemDoubleClicked, this,
            [this](QTreeWidgetItem* item) { openLine(lineOf(item)); });
    connect(cmdOpen, &QPushButton::clicked, this,
            [this] { openLine(lineOf(Tree->currentItem())); });
    connect(cmdCopyReport, &QPushButton::clicked, this, &UnitCheckWindow::cmdCopyReport_Click);
    connect(cmdClose, &QPushButton::clicked, this, &QWidget::close);
    connect(chkProblemsOnly, &QCheckBox::toggled, this, &UnitCheckWindow::applyProblemsOnly);
    connect(Tree, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        const int line = lineOf(item);
        cmdOpen->setEnabled(line >= 0 && !view_.lines[std::size_t(line)].member.isEmpty());
    });
}

int UnitCheckWindow::lineOf(const QTreeWidgetItem* item) {
    return item ? item->data(ColKind, kLineRole).toInt() : -1;
}

void UnitCheckWindow::showCheck(UnitCheckView view) {
    view_ = std::move(view);
    const QString archive = view_.archive.section(QLatin1Char('/'), -1);
    setWindowTitle(
        QStringLiteral("Check unit - %1").arg(view_.unit.isEmpty() ? archive : view_.unit));
    if (!view_.error.isEmpty()) {
        lblSummary->setText(view_.error);
    } else {
        QString where = QStringLiteral("Checked in %1").arg(archive);
        where += view_.gameFolder.isEmpty()
                     ? QStringLiteral(" (no game folder found)")
                     : QStringLiteral(", then the game folder %1").arg(view_.gameFolder);
        const QString counts = view_.missing == 0 && view_.shadowed == 0 && view_.warnings == 0
                                   ? QStringLiteral("nothing missing")
                                   : QStringLiteral("%1 missing, %2 shadowed, %3 warnings")
                                         .arg(view_.missing)
                                         .arg(view_.shadowed)
                                         .arg(view_.warnings);
        lblSummary->setText(QStringLiteral("<b>%1</b>: %2.<br>%3.")
                                .arg(view_.unit.toHtmlEscaped(), counts, where.toHtmlEscaped()));
    }
    cmdCopyReport->setEnabled(!view_.report.isEmpty());
    fillTree();
}

void UnitCheckWindow::fillTree() {
    Tree->clear();
    std::vector<QTreeWidgetItem*> parents; // the last item of each depth
    for (std::size_t i = 0; i < view_.lines.size(); ++i) {
        const DependencyLine& line = view_.lines[i];
        const std::size_t depth = std::size_t(std::max(0, line.depth));
        parents.resize(std::min(parents.size(), depth));
        auto* item =
            parents.empty() ? new QTreeWidgetItem(Tree) : new QTreeWidgetItem(parents.back());
        parents.push_back(item);
        item->setData(ColKind, kLineRole, int(i));
        item->setText(ColKind, line.kind);
        item->setText(ColName, line.name);
        item->setText(ColPath, line.path);
        item->setText(ColState, line.stateText);
        item->setIcon(ColState, stateIcon(line.state));
        item->setForeground(ColState, stateColour(line.state));
        QString source = line.source;
        if (!line.shadowedBy.isEmpty()) {
            source += QStringLiteral("  [shadows %1]").arg(line.shadowedBy);
        }
        item->setText(ColSource, source);
        QString tip = line.detail;
        if (!line.sourceFile.isEmpty()) {
            tip += (tip.isEmpty() ? QString() : QStringLiteral("\n")) + line.sourceFile;
        }
        for (int c = ColKind; c <= ColSource; ++c) {
            item->setToolTip(c, tip);
        }
        if (isProblem(line.state)) {
            QFont bold = Tree->font();
            bold.setBold(line.state == DependencyState::Error);
            item->setFont(ColName, bold);
        }
    }
    cmdOpen->setEnabled(false);
    Tree->expandAll();
    Tree->resizeColumnToContents(ColKind);
    lblStatus->setText(QStringLiteral("%1 lines").arg(view_.lines.size()));
    applyProblemsOnly(chkProblemsOnly->isChecked());
}

void UnitCheckWindow::applyProblemsOnly(bool only) {
    // Post-order: an item stays when it is a problem or holds one below it.
    std::function<bool(QTreeWidgetItem*)> visit = [&](QTreeWidgetItem* item) {
        bool keep = false;
        for (int c = 0; c < item->childCount(); ++c) {
            keep = visit(item->child(c)) || keep;
        }
        const int line = lineOf(item);
        keep = keep || (line >= 0 && isProblem(view_.lines[std::size_t(line)].state));
        item->setHidden(only && !keep);
        return keep;
    };
    for (int i = 0; i < Tree->topLevelItemCount(); ++i) {
        visit(Tree->topLevelItem(i));
    }
}

} // namespace crateward
