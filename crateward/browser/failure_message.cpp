#include "failure_message.hpp"

#include "common/dialogs.hpp"
#include "mod_hpiutil.hpp"

namespace crateward {

void ShowFailure(QWidget* owner, const QString& text, const QString& title, const QString& reason) {
    common::Dialogs::current().detailedMessage(owner, text, title, common::MessageIcon::Critical,
                                               common::MessageButtons::Ok, {reason, QString()});
}

void ShowLibraryFailure(QWidget* owner, const QString& text, const QString& title) {
    ShowFailure(owner, text, title, QString::fromStdString(hpi::LastError()));
}

} // namespace crateward
