#include "MeshglassProgram.hpp"

#include <QCoreApplication>
#include <QPushButton>

namespace meshglass {

MeshglassProgram::MeshglassProgram(ViewRenderer& renderer)
    : presentation(std::make_unique<frmPres>()), renderer_(renderer) {}

MeshglassProgram::~MeshglassProgram() {
    main.reset();
    presentation.reset();
}

void MeshglassProgram::Start(const QString& commandLine) {
    if (commandLine.isEmpty()) {
        QObject::connect(presentation.get(), &QDialog::finished, [this] {
            ended = true;
            QCoreApplication::quit();
        });
        presentation->show();
        return;
    }
    main = std::make_unique<Frm3do>(renderer_);
    main->showPresentation = [this] { presentation->exec(); };
    main->unloadPresentation = [this] { presentation->close(); };
    QObject::connect(main->cmdExit, &QPushButton::clicked, [this] { ended = true; });
    main->Form_Load();
    main->Open3DO(commandLine);
    main->show();
    presentation->hide();
}

} // namespace meshglass
