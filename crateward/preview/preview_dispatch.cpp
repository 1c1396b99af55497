#include "preview_dispatch.hpp"

#include <QAction>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QMenu>
#include <QPixmap>
#include <QTreeWidget>

#include "common/dialogs.hpp"
#include "file_view_control.hpp"
#include "file_view_model.hpp"
#include "frm_main.hpp"
#include "frm_txt.hpp"
#include "hex_dump.hpp"
#include "launcher.hpp"
#include "picture_pane.hpp"
#include "program_commands.hpp"
#include "sound_pane.hpp"
#include "sound_player.hpp"
#include "text_decoding.hpp"

namespace crateward {

namespace {

const QString kNotSet = QStringLiteral("You don't have select the program location !");
const QString kMapWarning = QStringLiteral(
    "Important note : you MUST save your map in .tnt format in your map editor, for exemple, in "
    "Annihilator, click Export Map and save it in the same name and path. Do NOT click on save "
    "map on the annihilator tool bar or in the file menu... because Annihilator will save it in "
    ".ufo format.");

QString extensionOf(const QString& name) {
    const int dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : name.mid(dot + 1);
}

} // namespace

PreviewDispatch::PreviewDispatch(frmMain& window, ProgramCommands& programs)
    : QObject(&window), window_(window), programs_(programs) {
    setObjectName(QStringLiteral("PreviewDispatch"));
    pictures_ = new PicturePane(window_, *this);
    sounds_ = new SoundPane(window_, *this);
    hexDump_ = new HexDump(window_, *this);
    for (const char* name : {"mnuViewText", "popupViewtext"}) {
        if (QAction* a = window_.findChild<QAction*>(QLatin1String(name))) {
            a->setVisible(true);
            connect(a, &QAction::triggered, this, &PreviewDispatch::mnuViewText_Click);
        }
    }
}

bool PreviewDispatch::modifying() const {
    // A hidden action also reads as disabled: the command is not there.
    const QAction* modify = window_.findChild<QAction*>(QStringLiteral("mnuModifierHPI"));
    return modify && modify->isVisible() && !modify->isEnabled();
}

bool PreviewDispatch::saveModifEnabled() const {
    const QMenu* save = window_.findChild<QMenu*>(QStringLiteral("mnuSaveModif"));
    return save && save->menuAction()->isVisible() && save->menuAction()->isEnabled();
}

std::optional<QString> PreviewDispatch::copyOf(const QString& memberPath, CopyMode mode) const {
    return CopyMember(window_.archiveHandle(), window_.workingDirectory(), memberPath,
                      modifying() ? CopyMode::Unpacked : mode);
}

void PreviewDispatch::FileView_ItemClick(int row) {
    const QString name = window_.FileView->model()->entry(row).name;
    const QString ext = extensionOf(name).toLower();
    if (ext == QLatin1String("pcx")) {
        pictures_->Aff_PCX(window_.memberPath(row), name);
    } else if (ext == QLatin1String("fbi")) {
        pictures_->Aff_PCXfbi(QStringLiteral("unitpics\\") + name.left(name.size() - 4) +
                              QStringLiteral(".pcx"));
    } else if (ext == QLatin1String("bmp")) {
        if (const auto copy = copyOf(window_.memberPath(row), CopyMode::OnDemand)) {
            pictures_->showBitmap(*copy);
        }
    } else if (ext == QLatin1String("wav")) {
        sounds_->showPane();
    } else {
        window_.visualisateur->hide();
        window_.WavVisu->hide();
    }
    window_.Form_Resize();
}

void PreviewDispatch::programNotSet() {
    common::Dialogs::current().message(&window_, kNotSet, QStringLiteral("Non..."),
                                       common::MessageIcon::Information,
                                       common::MessageButtons::Ok);
}

void PreviewDispatch::launchWithCopy(const std::string& program, const QString& member) {
    if (program.empty()) {
        programNotSet();
        return;
    }
    if (const auto copy = copyOf(member, CopyMode::OnDemand)) {
        LaunchProgram(QString::fromStdString(program), *copy);
    }
}

void PreviewDispatch::FileView_DblClick(int row) {
    if (window_.Tree->topLevelItemCount() == 0 || window_.FileView->model()->count() == 0) {
        return;
    }
    const QString name = window_.FileView->model()->entry(row).name;
    if (!name.contains(QLatin1Char('.'))) {
        return;
    }
    const QString ext = extensionOf(name).toUpper();
    const QString member = window_.memberPath(row);
    ProgramLocations& programs = programs_.programs();
    if (ext == QLatin1String("GAF")) {
        launchWithCopy(programs.SpriteProgramPath, member);
    } else if (ext == QLatin1String("3DO")) {
        // The archive's own textures go beside the model's copy first.
        if (!programs.ModelProgramPath.empty()) {
            CopyTextureMembers(window_.archiveHandle(), window_.workingDirectory(),
                               modifying() ? CopyMode::Unpacked : CopyMode::OnDemand);
        }
        launchWithCopy(programs.ModelProgramPath, member);
    } else if (ext == QLatin1String("TNT")) {
        if (programs.MapProgramPath.empty()) {
            programNotSet();
            return;
        }
        const QString program = QString::fromStdString(programs.MapProgramPath);
        if (modifying()) {
            common::Dialogs::current().message(&window_, kMapWarning, QStringLiteral("Warning !!!"),
                                               common::MessageIcon::Warning,
                                               common::MessageButtons::Ok);
            if (const auto copy = copyOf(member, CopyMode::Unpacked)) {
                LaunchProgram(program, *copy);
            }
            return;
        }
        const auto copy = copyOf(member, CopyMode::OnDemand);
        // The map's companion: the same name with ".ota" in place of the
        // last four characters, in the same folder of the archive.
        copyOf(window_.entryFolderKey(row) + name.left(name.size() - 4) + QStringLiteral(".ota"),
               CopyMode::OnDemand);
        if (copy) {
            LaunchProgram(program, *copy);
        }
    } else if (ext == QLatin1String("WAV")) {
        // Played once at once, without waiting; the sound pane takes the
        // copy over for repeated plays.
        if (const auto copy = copyOf(member, CopyMode::OnDemand)) {
            SoundPlayer::current().play(*copy);
            sounds_->setSound(*copy, name);
        }
    } else if (ext == QLatin1String("PCX")) {
        // The system's program for pictures, or the enlarged picture window.
        if (const auto copy = copyOf(member, CopyMode::OnDemand)) {
            if (programs.PictureExternal) {
                Launcher::current().open(*copy, QString(), QString());
            } else {
                pictures_->showEnlarged(*copy);
            }
        }
    } else if (const auto copy = copyOf(member, CopyMode::OnDemand)) {
        AffTxT(*copy);
    }
}

void PreviewDispatch::mnuViewText_Click() {
    if (window_.archiveHandle() == 0) {
        return;
    }
    const int row = window_.FileView->selectedRow();
    if (row < 0) {
        return;
    }
    const QString member = window_.memberPath(row);
    if (const auto copy = copyOf(member, CopyMode::Replace)) {
        AffTxT(*copy);
    }
}

void PreviewDispatch::AffTxT(const QString& path) {
    // 1.
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return;
    }
    if (!text_) {
        text_ = new frmTXT(window_.settings(), &window_);
    }
    text_->setWindowTitle(path);
    const auto editor = [&] {
        file.close();
        Launcher::current().open(QStringLiteral("notepad.exe"), path, QString());
    };
    // 2.
    if (saveModifEnabled()) {
        editor();
        return;
    }
    // 3. and 4. A file holding the end-of-file character 26, or too large
    //    to hold as one text, goes to the editor.
    if (file.size() > kMaxTextBytes) {
        editor();
        return;
    }
    const QByteArray bytes = file.readAll();
    if (bytes.contains('\x1a')) {
        editor();
        return;
    }
    text_->showText(path, DecodeWindows1252(std::string_view(bytes.constData(), bytes.size())));
    text_->show();
    text_->raise();
    file.close();
}

frmTXT* PreviewDispatch::textWindow() const {
    return text_;
}

void PreviewDispatch::unloadWindows() {
    pictures_->unload();
    hexDump_->unload();
    if (text_) {
        text_->close();
    }
}

} // namespace crateward
