// Meshglass: shows the 3DO model whose path is the whole command line.
#include "MeshdrawRenderer.hpp"
#include "MeshglassProgram.hpp"

#include "common/font_warm_up.hpp"
#include "common/program_help.hpp"
#include "common/qt_dialogs.hpp"

#include <QApplication>
#include <QStringList>

#include <cstdio>

int main(int argc, char** argv) {
    if (common::AnswerHelpOrVersion(argc, argv, "meshglass",
                                    "usage: meshglass [FILE.3do]\n"
                                    "Shows a 3DO model; drag with a mouse button held to turn "
                                    "it.\n",
                                    TOOLKIT_VERSION)) {
        return 0;
    }
    // The renderer draws into X windows: Qt runs on xcb (XWayland serves
    // Wayland desktops).
    qputenv("QT_QPA_PLATFORM", "xcb");
    if (qEnvironmentVariableIsEmpty("DISPLAY")) {
        std::fprintf(stderr, "meshglass: needs an X display, and DISPLAY is not set\n");
        return 1;
    }
    common::FontWarmUp fonts;
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Meshglass"));
    common::Dialogs::setProgramTitle(QStringLiteral("Meshglass"));
    QApplication::setQuitOnLastWindowClosed(false);
    common::Dialogs::install(std::make_unique<common::QtDialogs>());

    // The whole command line is the path, as it was given: the arguments
    // are joined back with blanks.
    QStringList arguments = QApplication::arguments();
    arguments.removeFirst();
    fonts.wait();
    meshglass::MeshdrawRenderer renderer;
    meshglass::MeshglassProgram program(renderer);
    program.Start(arguments.join(QLatin1Char(' ')));
    if (program.ended) {
        return 0;
    }
    return app.exec();
}
