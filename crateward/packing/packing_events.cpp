#include "packing_events.hpp"

#include <QCoreApplication>
#include <QFile>
#include <QPointer>
#include <QWidget>

#include "common/dialogs.hpp"
#include "pack_engine.hpp"

namespace crateward::packing {

void PumpWindowEvents() {
    QCoreApplication::processEvents();
}

PackEvents::PackEvents(QWidget* window) {
    SetEventPump(&PumpWindowEvents);
    QPointer<QWidget> owner(window);
    SetAddFailureHandler([owner](const std::string& path) {
        common::Dialogs::current().message(
            owner.data(),
            QStringLiteral("Error adding file ") + QFile::decodeName(path.c_str()) +
                QStringLiteral(" !"),
            QStringLiteral("Error !"), common::MessageIcon::Critical, common::MessageButtons::Ok);
    });
}

PackEvents::~PackEvents() {
    SetEventPump({});
    SetAddFailureHandler({});
}

} // namespace crateward::packing
