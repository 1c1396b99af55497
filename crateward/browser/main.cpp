// crateward: the archive manager. The whole command line is one archive
// path, opened at start-up when it names an existing file.
#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QWidget>

#include "archive_preload.hpp"
#include "common/bar_arrow_style.hpp"
#include "common/font_warm_up.hpp"
#include "common/program_help.hpp"
#include "crateward_dialogs.hpp"
#include "frm_main.hpp"
#include "signal_bridge.hpp"

namespace {

// The whole command line as one path: the arguments joined back with blanks.
QString commandLineOf(int argc, char** argv) {
    QStringList words;
    for (int i = 1; i < argc; ++i) {
        words << QString::fromLocal8Bit(argv[i]);
    }
    return words.join(QLatin1Char(' '));
}

} // namespace

int main(int argc, char** argv) {
    if (common::AnswerHelpOrVersion(argc, argv, "crateward",
                                    "usage: crateward [ARCHIVE]\n"
                                    "The archive manager for TA's HPI archives (.hpi, .ufo, .ccx, "
                                    ".gp3).\n",
                                    TOOLKIT_VERSION)) {
        return 0;
    }
    common::FontWarmUp fonts;

    // The archive the command line names is opened and listed on a thread
    // of its own while the application and the window are set up. (Should
    // the application take arguments of its own out of the command line,
    // the path no longer matches and step 4 opens the file itself.)
    std::unique_ptr<crateward::ArchivePreload> preload;
    if (const QString path = commandLineOf(argc, argv); QFileInfo(path).isFile()) {
        preload =
            std::make_unique<crateward::ArchivePreload>(QFile::encodeName(path).toStdString());
    }
    QApplication app(argc, argv);
    QApplication::setStyle(new common::BarArrowStyle);
    QApplication::setApplicationName(QStringLiteral("crateward"));
    common::Dialogs::setProgramTitle(QLatin1String(crateward::frmMain::kTitle));
    common::Dialogs::install(std::make_unique<crateward::CratewardDialogs>());
    const QString commandLine = commandLineOf(argc, argv);

    fonts.wait();
    crateward::frmMain window;
    window.adoptPreload(std::move(preload));
    // A termination signal closes the window (any modal dialog first), so
    // the shut-down steps run and the working directory is removed.
    crateward::SignalBridge bridge([&window] { window.terminate(); });
    if (!window.startUp(commandLine)) {
        return 0;
    }
    window.show();
    return app.exec();
}
