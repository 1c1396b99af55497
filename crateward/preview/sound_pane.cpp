#include "sound_pane.hpp"

#include <QEvent>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include "file_view_control.hpp"
#include "file_view_model.hpp"
#include "frm_main.hpp"
#include "preview_dispatch.hpp"
#include "sound_player.hpp"
#include "up_down_control.hpp"

namespace crateward {

namespace {

const QString kRepeat = QStringLiteral("Repeat it...");
const QString kStop = QStringLiteral("STOP");

QLabel* label(QWidget* parent, const char* name, const QString& text, int x, int y) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(QLatin1String(name));
    l->move(x, y);
    l->adjustSize();
    return l;
}

} // namespace

SoundPane::SoundPane(frmMain& window, PreviewDispatch& dispatch)
    : QObject(&dispatch), window_(window), dispatch_(dispatch) {
    QFrame* pane = window_.WavVisu;
    // One holder of the pane's width, so the layout's centring keeps the
    // controls where they are.
    auto* holder = new QWidget(pane);
    holder->setObjectName(QStringLiteral("soundControls"));
    holder->setGeometry(0, 0, pane->width(), pane->height());
    const int width = pane->width() - 8;
    LbSndInf = label(holder, "LbSndInf", QStringLiteral("Sound play setting :"), 4, 6);
    LbSndName = label(holder, "LbSndName", QString(), 4, 26);
    LbSndName->setFixedWidth(width);
    cmdPlyItOnce = new QPushButton(QStringLiteral("Play it once"), holder);
    cmdPlyItOnce->setObjectName(QStringLiteral("cmdPlyItOnce"));
    cmdPlyItOnce->setGeometry(4, 48, width, 24);
    cmdPlyItRepeat = new QPushButton(kRepeat, holder);
    cmdPlyItRepeat->setObjectName(QStringLiteral("cmdPlyItRepeat"));
    cmdPlyItRepeat->setGeometry(4, 78, width, 24);
    Label2 = label(holder, "Label2", QStringLiteral("every :"), 4, 114);
    LbNumbSecond = label(holder, "LbNumbSecond", QString::number(kInitialInterval), 50, 114);
    LbNumbSecond->setFixedWidth(32);
    LbNumbSecond->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    // From 50 to 5000 milliseconds in steps of 10.
    UpDown1 = new UpDownControl(50, 5000, 10, holder);
    UpDown1->setObjectName(QStringLiteral("UpDown1"));
    UpDown1->setBuddy(LbNumbSecond);
    UpDown1->setValueQuietly(kInitialInterval);
    UpDown1->move(86, 112);
    Label3 = label(holder, "Label3", QStringLiteral("millisecond"), 106, 114);

    TmrSound = new QTimer(this);
    TmrSound->setObjectName(QStringLiteral("TmrSound"));
    TmrSound->setTimerType(Qt::PreciseTimer);

    connect(cmdPlyItOnce, &QPushButton::clicked, this, &SoundPane::cmdPlyItOnce_Click);
    connect(cmdPlyItRepeat, &QPushButton::clicked, this, &SoundPane::cmdPlyItRepeat_Click);
    connect(TmrSound, &QTimer::timeout, this, &SoundPane::TmrSound_Timer);
    pane->installEventFilter(this);
}

bool SoundPane::eventFilter(QObject* watched, QEvent* event) {
    // The pane itself hidden (not the whole window minimised).
    if (watched == window_.WavVisu && event->type() == QEvent::Hide &&
        !window_.WavVisu->isVisibleTo(&window_)) {
        stopRepeating();
    }
    return QObject::eventFilter(watched, event);
}

void SoundPane::showPane() {
    window_.visualisateur->hide();
    window_.WavVisu->show();
}

void SoundPane::setSound(const QString& copy, const QString& name) {
    tag_ = copy;
    TmrSound->setProperty("tag", copy);
    LbSndName->setText(name);
}

std::optional<QString> SoundPane::selectedCopy() const {
    const int row = window_.FileView->selectedRow();
    if (row < 0) {
        return std::nullopt;
    }
    const QString member = window_.memberPath(row);
    return dispatch_.copyOf(member, CopyMode::OnDemand);
}

void SoundPane::cmdPlyItOnce_Click() {
    if (const auto copy = selectedCopy()) {
        SoundPlayer::current().play(*copy);
    }
}

bool SoundPane::repeating() const {
    return TmrSound->isActive();
}

void SoundPane::stopRepeating() {
    TmrSound->stop();
    cmdPlyItRepeat->setText(kRepeat);
    UpDown1->setEnabled(true);
}

void SoundPane::cmdPlyItRepeat_Click() {
    if (repeating()) {
        stopRepeating();
        return;
    }
    // 1. to 4. The first play comes when the first interval has elapsed.
    TmrSound->setInterval(std::max(1, LbNumbSecond->text().toInt()));
    const auto copy = selectedCopy();
    if (!copy) {
        return;
    }
    tag_ = *copy;
    TmrSound->setProperty("tag", *copy);
    TmrSound->start();
    cmdPlyItRepeat->setText(kStop);
    UpDown1->setEnabled(false);
}

void SoundPane::TmrSound_Timer() {
    SoundPlayer::current().play(tag_);
}

} // namespace crateward
