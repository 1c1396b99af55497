// Spriteglass: shows one GAF sprite file, named by the whole command line.
#include "SpriteglassDialogs.hpp"
#include "frmGafViewer.hpp"

#include "common/font_warm_up.hpp"
#include "common/program_help.hpp"

#include <QApplication>
#include <QStringList>

int main(int argc, char** argv) {
    if (common::AnswerHelpOrVersion(argc, argv, "spriteglass",
                                    "usage: spriteglass [FILE.gaf]\n"
                                    "Shows the entries, frames and subframes of a GAF sprite "
                                    "file.\n",
                                    TOOLKIT_VERSION)) {
        return 0;
    }
    common::FontWarmUp fonts;
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Spriteglass"));
    common::Dialogs::setProgramTitle(QStringLiteral("Spriteglass"));
    common::Dialogs::install(std::make_unique<spriteglass::SpriteglassDialogs>());

    // The command line is one path: arguments are joined back with blanks.
    QStringList arguments = QApplication::arguments();
    arguments.removeFirst();
    fonts.wait();
    spriteglass::frmGafViewer viewer;
    QObject::connect(&viewer, &spriteglass::frmGafViewer::endProgram, &app, &QApplication::quit,
                     Qt::QueuedConnection);
    viewer.show();
    if (!viewer.SetUpWindow(arguments.join(QLatin1Char(' ')))) {
        return 0;
    }
    return app.exec();
}
