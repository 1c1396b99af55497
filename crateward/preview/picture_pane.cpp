#include "picture_pane.hpp"

#include <QFile>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QStyleOptionButton>

#include "common/dialogs.hpp"
#include "file_view_control.hpp"
#include "file_view_model.hpp"
#include "frm_main.hpp"
#include "frm_show_pcx.hpp"
#include "picture_control.hpp"
#include "preview_dispatch.hpp"
#include "save_location.hpp"
#include "up_down_control.hpp"

namespace crateward {

namespace {

const QString kEnlargeCaption =
    QStringLiteral("The picture is bigger than the window, clic here to enlarge it");
constexpr int kPaneHeight = 200; // pixels
constexpr int kPictureTop = 30;
constexpr int kPictureBottom = 140;

// A push button whose caption wraps onto several lines.
class WrappingButton : public QPushButton {
public:
    using QPushButton::QPushButton;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        QStyleOptionButton option;
        initStyleOption(&option);
        option.text.clear();
        style()->drawControl(QStyle::CE_PushButton, &option, &painter, this);
        painter.drawText(rect().adjusted(4, 2, -4, -2), Qt::AlignCenter | Qt::TextWordWrap, text());
    }
};

} // namespace

PicturePane::PicturePane(frmMain& window, PreviewDispatch& dispatch)
    : QObject(&dispatch), window_(window), dispatch_(dispatch) {
    QFrame* pane = window_.visualisateur;
    pane->resize(pane->width(), kPaneHeight);
    const int width = pane->width();

    auto* zoomRow = new QWidget(pane);
    zoomRow->setObjectName(QStringLiteral("zoomRow"));
    auto* row = new QHBoxLayout(zoomRow);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(2);
    row->addWidget(new QLabel(QStringLiteral("Zoom :"), zoomRow));
    TxtZoom = new QLineEdit(QStringLiteral("100"), zoomRow);
    TxtZoom->setObjectName(QStringLiteral("TxtZoom"));
    TxtZoom->setFixedWidth(40);
    TxtZoom->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), TxtZoom));
    TxtZoom->installEventFilter(this);
    row->addWidget(TxtZoom);
    // Zoom from 5 to 800 percent in steps of 5.
    UpDown1 = new UpDownControl(5, 800, 5, zoomRow);
    UpDown1->setObjectName(QStringLiteral("UpDown1"));
    UpDown1->setValueQuietly(100);
    UpDown1->setBuddy(TxtZoom);
    row->addWidget(UpDown1);
    zoomRow->adjustSize();
    zoomRow->move(0, 4);

    PicUnit = new PictureControl(pane);
    PicUnit->setObjectName(QStringLiteral("PicUnit"));
    PicUnit->move(0, kPictureTop);

    cmdEnlargePCX = new WrappingButton(kEnlargeCaption, pane);
    cmdEnlargePCX->setObjectName(QStringLiteral("cmdEnlargePCX"));
    cmdEnlargePCX->setGeometry(0, kPictureBottom + 2, width - 8, 30);
    cmdEnlargePCX->hide();
    cmdSaveImg = new QPushButton(QStringLiteral("Save"), pane);
    cmdSaveImg->setObjectName(QStringLiteral("cmdSaveImg"));
    cmdSaveImg->setGeometry(0, kPaneHeight - 26, 70, 22);

    connect(TxtZoom, &QLineEdit::textChanged, this, &PicturePane::TxtZoom_Change);
    connect(cmdEnlargePCX, &QPushButton::clicked, this, &PicturePane::cmdEnlargePCX_Click);
    connect(cmdSaveImg, &QPushButton::clicked, this, &PicturePane::cmdSaveImg_Click);
}

bool PicturePane::eventFilter(QObject* watched, QEvent* event) {
    if (watched == TxtZoom && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        const bool digit = key >= Qt::Key_0 && key <= Qt::Key_9;
        return !(digit || key == Qt::Key_Backspace);
    }
    return QObject::eventFilter(watched, event);
}

void PicturePane::TxtZoom_Change() {
    bool ok = false;
    const int percent = TxtZoom->text().toInt(&ok);
    if (!ok || percent < 1) {
        return;
    }
    UpDown1->setValueQuietly(percent);
    PicUnit->setZoom(percent);
    placePicture();
}

void PicturePane::placePicture() {
    const QFrame* pane = window_.visualisateur;
    const QSize shown = PicUnit->pixmap().isNull() ? QSize(0, 0) : PicUnit->pixmap().size();
    const QSize room(pane->width() - 4, kPictureBottom - kPictureTop);
    PicUnit->resize(shown.boundedTo(room));
    PicUnit->move(pane->width() / 2 - PicUnit->width() / 2, kPictureTop);
}

void PicturePane::showPane() {
    window_.WavVisu->hide();
    window_.visualisateur->show();
    window_.Form_Resize();
}

void PicturePane::showCopy(const QString& copy, const QString& name) {
    // 2.
    showPane();
    // 3.
    PicUnit->clearDisplay();
    PicUnit->setImageFile(copy);
    // 4. Setting the zoom text applies the zoom.
    const bool large = PicUnit->imageHeight() * kTwipsPerPixel > kEnlargeAboveTwips;
    cmdEnlargePCX->setVisible(large);
    const QString zoom = large ? QStringLiteral("25") : QStringLiteral("100");
    if (TxtZoom->text() == zoom) {
        TxtZoom_Change();
    } else {
        TxtZoom->setText(zoom);
    }
    // 5.
    currentPicture_ = copy;
    currentName_ = name;
}

void PicturePane::Aff_PCX(const QString& member, const QString& name) {
    // 1.
    const auto copy = dispatch_.copyOf(member, CopyMode::Replace);
    showCopy(copy.value_or(QString()), name);
}

void PicturePane::Aff_PCXfbi(const QString& member) {
    const QString local = member.mid(member.indexOf(QLatin1Char('\\')) + 1);
    const auto copy = dispatch_.copyOf(member, CopyMode::Replace);
    showCopy(copy.value_or(QString()), local);
}

void PicturePane::showBitmap(const QString& path) {
    PicUnit->setImageFile(path);
    placePicture();
    showPane();
}

frmShowPCX* PicturePane::loadEnlarged() {
    if (!enlarged_) {
        enlarged_ = new frmShowPCX(window_.settings(), &window_);
    }
    return enlarged_;
}

void PicturePane::cmdEnlargePCX_Click() {
    // 1.
    frmShowPCX* view = loadEnlarged();
    view->ImgPCX->setImageFile(currentPicture_);
    view->setWindowTitle(currentName_);
    // 2.
    if (!view->ImgPCX->image().isNull()) {
        view->setSizeTwips(view->ImgPCX->imageWidth() * kTwipsPerPixel,
                           view->ImgPCX->imageHeight() * kTwipsPerPixel);
    }
    // 3. The unpacked copy of a modification is never deleted.
    view->show();
    view->raise();
    if (!dispatch_.modifying() && !currentPicture_.isEmpty()) {
        QFile::remove(currentPicture_);
    }
}

void PicturePane::showEnlarged(const QString& copy) {
    frmShowPCX* view = loadEnlarged();
    view->ImgPCX->setImageFile(copy);
    view->setWindowTitle(copy);
    if (!view->ImgPCX->image().isNull()) {
        view->setSizeTwips(view->ImgPCX->imageWidth() * kTwipsPerPixel + 80,
                           view->ImgPCX->imageHeight() * kTwipsPerPixel + 400);
    }
    view->show();
    view->raise();
}

void PicturePane::cmdSaveImg_Click() {
    const int row = window_.FileView->selectedRow();
    const QString name = row < 0 ? QString() : window_.FileView->model()->entry(row).name;
    const auto target = common::Dialogs::current().saveFile(
        &window_, QStringLiteral("Save picture as..."), QStringLiteral("BMP picture|*.bmp|"),
        QStringLiteral("bmp"),
        SaveDialogStart(window_, name.left(std::max(0, int(name.size()) - 4))));
    if (!target) {
        return;
    }
    RememberSaveFolder(window_, *target);
    PicUnit->saveAsBmp(*target); // a failed save is not reported
}

void PicturePane::unload() {
    if (enlarged_) {
        enlarged_->close();
    }
}

} // namespace crateward
