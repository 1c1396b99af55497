// crateward: the archive manager. The whole command line is one archive
// path, opened at start-up when it names an existing file.
#include <QApplication>
#include <QStringList>
#include <QWidget>

#include "common/program_help.hpp"
#include "crateward_dialogs.hpp"
#include "frm_main.hpp"
#include "signal_bridge.hpp"

int main(int argc, char** argv) {
    if (common::AnswerHelpOrVersion(argc, argv, "crateward",
                                    "usage: crateward [ARCHIVE]\n"
                                    "The archive manager for TA's HPI archives (.hpi, .ufo, .ccx, "
                                    ".gp3).\n",
                                    TOOLKIT_VERSION)) {
        return 0;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("crateward"));
    common::Dialogs::setProgramTitle(QLatin1String(crateward::frmMain::kTitle));
    common::Dialogs::install(std::make_unique<crateward::CratewardDialogs>());

    QStringList words;
    for (int i = 1; i < argc; ++i) {
        words << QString::fromLocal8Bit(argv[i]);
    }
    const QString commandLine = words.join(QLatin1Char(' '));

    crateward::frmMain window;
    // A termination signal closes the window (any modal dialog first), so
    // the shut-down steps run and the working directory is removed.
    crateward::SignalBridge bridge([&window] { window.terminate(); });
    if (!window.startUp(commandLine)) {
        return 0;
    }
    window.show();
    return app.exec();
}
