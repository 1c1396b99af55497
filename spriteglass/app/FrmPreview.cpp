#include "FrmPreview.hpp"

#include "ProgramPalette.hpp"
#include "common/dialogs.hpp"
#include "common/owned_window.hpp"
#include "spriteglass/compose.hpp"
#include "spriteglass/text.hpp"

#include <QCloseEvent>
#include <QPainter>

namespace spriteglass {

FrmPreview::FrmPreview(std::shared_ptr<const classGAFAnimation> animation, QWidget* owner)
    : QWidget(owner, common::kOwnedWindowFlags), animation_(std::move(animation)) {
    setObjectName(QStringLiteral("FrmPreview"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Preview - '") +
                   QString::fromStdString(Cp1252ToUtf8(animation_->Name())) + QLatin1Char('\''));
    Canvas = new PictureBox(this);
    Canvas->setObjectName(QStringLiteral("Canvas"));
    TmrAnimate = new QTimer(this);
    TmrAnimate->setObjectName(QStringLiteral("TmrAnimate"));
    TmrAnimate->setInterval(100);
    connect(TmrAnimate, &QTimer::timeout, this, [this] { Animate(); });
}

bool FrmPreview::Start() {
    const PreviewSize size = PreviewSurfaceSize(*animation_);
    if (!surface_.Initialize(size.width, size.height, Canvas, ProgramPalette())) {
        common::Dialogs::current().message(this, classFastWin::memoryMessage(), QString(),
                                           common::MessageIcon::Information,
                                           common::MessageButtons::Ok);
        close();
        return false;
    }
    background_.assign(std::size_t(size.width) * std::size_t(size.height), BackIndex);
    resize(size.width, size.height);
    show();
    frameNumber_ = 1;
    TmrAnimate->start();
    return true;
}

void FrmPreview::Animate() {
    const auto& frames = animation_->Frames();
    if (frameNumber_ < 1 || std::size_t(frameNumber_) > frames.size()) {
        TmrAnimate->stop();
        close();
        return;
    }
    ComposePreviewPicture(surface_.surface(), background_, frames[std::size_t(frameNumber_) - 1]);
    const int W = surface_.BmpWidth();
    const int H = surface_.BmpHeight();
    QPixmap picture(W, H);
    {
        QPainter painter(&picture);
        surface_.Show(painter, 0, 0, W, H, 0, 0, 1, 1, false);
    }
    Canvas->setPicture(picture);
    ++frameNumber_;
    if (std::size_t(frameNumber_) > frames.size()) {
        frameNumber_ = 1;
    }
}

void FrmPreview::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Canvas->setGeometry(rect()); // the drawing box fills the inner area
}

void FrmPreview::closeEvent(QCloseEvent* event) {
    TmrAnimate->stop();
    surface_.Release();
    event->accept();
}

} // namespace spriteglass
