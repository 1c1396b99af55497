#include "frm_prog_search.hpp"

#include <QButtonGroup>
#include <QDir>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "common/dialogs.hpp"
#include "program_keys.hpp"
#include "settings_keys.hpp"

namespace crateward {

namespace {

QPushButton* browseButton(const char* name, QWidget* parent) {
    auto* button = new QPushButton(QStringLiteral("Browse"), parent);
    button->setObjectName(QLatin1String(name));
    return button;
}

QLineEdit* textBox(const char* name, QWidget* parent) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(QLatin1String(name));
    box->setMinimumWidth(320);
    return box;
}

std::array<QRadioButton*, 2> optionPair(const char* name, const QString& first,
                                        const QString& second, QWidget* parent) {
    std::array<QRadioButton*, 2> pair{new QRadioButton(first, parent),
                                      new QRadioButton(second, parent)};
    auto* group = new QButtonGroup(parent);
    group->setObjectName(QLatin1String(name));
    for (int i = 0; i < 2; ++i) {
        pair[std::size_t(i)]->setObjectName(
            QStringLiteral("%1(%2)").arg(QLatin1String(name)).arg(i));
        group->addButton(pair[std::size_t(i)], i);
    }
    return pair;
}

// The file name of the game's executable in `directory`, in the letter case
// it has there ("totala.exe" when none is found).
QString gameExecutable(const QString& directory) {
    const QStringList found = QDir(directory).entryList(QDir::Files, QDir::Name | QDir::IgnoreCase);
    for (const QString& name : found) {
        if (name.compare(QLatin1String("totala.exe"), Qt::CaseInsensitive) == 0) {
            return name;
        }
    }
    return QStringLiteral("totala.exe");
}

} // namespace

frmProgSearch::frmProgSearch(const common::SettingsStore& settings, ProgramLocations& programs,
                             std::filesystem::path programDirectory, QString gameDirectory,
                             QWidget* parent)
    : QDialog(parent), settings_(settings), programs_(programs),
      programDirectory_(std::move(programDirectory)) {
    setObjectName(QStringLiteral("frmProgSearch"));
    setWindowTitle(QStringLiteral("Viewing file settings..."));
    buildControls();
    ShowProgramSettings(gameDirectory);
}

void frmProgSearch::buildControls() {
    auto* layout = new QVBoxLayout(this);

    auto* locations = new QGroupBox(QStringLiteral("Programs locations :"), this);
    auto* grid = new QGridLayout(locations);
    TxtTA = textBox("TxtTA", locations);
    cmdBrowseTA = browseButton("cmdBrowseTA", locations);
    TxtUnitViewer = textBox("TxtUnitViewer", locations);
    cmdBrowseUV = browseButton("cmdBrowseUV", locations);
    grid->addWidget(new QLabel(QStringLiteral("TA :"), locations), 0, 0);
    grid->addWidget(TxtTA, 0, 1);
    grid->addWidget(cmdBrowseTA, 0, 2);
    grid->addWidget(new QLabel(QStringLiteral("UnitViewer :"), locations), 1, 0);
    grid->addWidget(TxtUnitViewer, 1, 1);
    grid->addWidget(cmdBrowseUV, 1, 2);
    layout->addWidget(locations);

    layout->addWidget(
        new QLabel(QStringLiteral("What do you want Crateward do when you ...."), this));

    auto* model = new QGroupBox(QStringLiteral("...clic on a 3DO file :"), this);
    auto* modelGrid = new QGridLayout(model);
    Doption = optionPair("Doption", QStringLiteral("Show the 3DO file with Crateward quick viewer"),
                         QStringLiteral("Launch external 3DO program :"), model);
    txt3DOprog = textBox("txt3DOprog", model);
    lbBrowse3DOprog = browseButton("lbBrowse3DOprog", model);
    modelGrid->addWidget(Doption[0], 0, 0, 1, 3);
    modelGrid->addWidget(Doption[1], 1, 0);
    modelGrid->addWidget(txt3DOprog, 1, 1);
    modelGrid->addWidget(lbBrowse3DOprog, 1, 2);
    layout->addWidget(model);

    auto* map = new QGroupBox(QStringLiteral("...clic on a TNT file :"), this);
    auto* mapGrid = new QGridLayout(map);
    txtTNTprog = textBox("txtTNTprog", map);
    lbBrowseTNT = browseButton("lbBrowseTNT", map);
    mapGrid->addWidget(new QLabel(QStringLiteral("Launch :"), map), 0, 0);
    mapGrid->addWidget(txtTNTprog, 0, 1);
    mapGrid->addWidget(lbBrowseTNT, 0, 2);
    layout->addWidget(map);

    auto* picture = new QGroupBox(QStringLiteral("...clic on a picture :"), this);
    auto* pictureRows = new QVBoxLayout(picture);
    pictOption = optionPair("pictOption", QStringLiteral("Let Crateward show it"),
                            QStringLiteral("Launch default picture program"), picture);
    pictureRows->addWidget(pictOption[0]);
    pictureRows->addWidget(pictOption[1]);
    layout->addWidget(picture);

    auto* sprite = new QGroupBox(QStringLiteral("...clic on a GAF file :"), this);
    auto* spriteGrid = new QGridLayout(sprite);
    GafOption =
        optionPair("GafOption", QStringLiteral("Show the GAF file with Crateward quick viewer"),
                   QStringLiteral("Launch external GAF program :"), sprite);
    txtGafProg = textBox("txtGafProg", sprite);
    lbBrowseGAF = browseButton("lbBrowseGAF", sprite);
    spriteGrid->addWidget(GafOption[0], 0, 0, 1, 3);
    spriteGrid->addWidget(GafOption[1], 1, 0);
    spriteGrid->addWidget(txtGafProg, 1, 1);
    spriteGrid->addWidget(lbBrowseGAF, 1, 2);
    layout->addWidget(sprite);

    ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("ok"));
    ok->setDefault(true);
    layout->addWidget(ok, 0, Qt::AlignRight);

    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    for (int i = 0; i < 2; ++i) {
        connect(GafOption[std::size_t(i)], &QRadioButton::clicked, this,
                [this, i] { GafOption_Click(i); });
        connect(Doption[std::size_t(i)], &QRadioButton::clicked, this,
                [this, i] { Doption_Click(i); });
        connect(pictOption[std::size_t(i)], &QRadioButton::clicked, this,
                [this, i] { pictOption_Click(i); });
    }
    connect(cmdBrowseTA, &QPushButton::clicked, this,
            [this] { browse(&ProgramLocations::TAPath, TxtTA, kTAKey); });
    connect(cmdBrowseUV, &QPushButton::clicked, this,
            [this] { browse(&ProgramLocations::UnitViewerPath, TxtUnitViewer, kUnitViewerKey); });
    connect(lbBrowse3DOprog, &QPushButton::clicked, this,
            [this] { browse(&ProgramLocations::ModelProgramPath, txt3DOprog, kModelKey); });
    connect(lbBrowseGAF, &QPushButton::clicked, this,
            [this] { browse(&ProgramLocations::SpriteProgramPath, txtGafProg, kSpriteKey); });
    connect(lbBrowseTNT, &QPushButton::clicked, this,
            [this] { browse(&ProgramLocations::MapProgramPath, txtTNTprog, kMapKey); });
}

long frmProgSearch::option(const char* key) const {
    const long value = settings_.readNumber(kApp, kOptions, key, 0);
    return value == 1 ? 1 : 0;
}

void frmProgSearch::ShowProgramSettings(const QString& gameDirectory) {
    auto setting = [this](const char* key) {
        return QString::fromStdString(settings_.read(kApp, kPrograms, key));
    };
    // Selecting an option runs its click action, as a click would.
    const auto select = [](std::array<QRadioButton*, 2>& pair, long index, auto&& click) {
        pair[std::size_t(index)]->setChecked(true);
        click(int(index));
    };
    // 1.
    txtGafProg->setText(setting(kSpriteKey));
    select(GafOption, option(kGafType), [this](int i) { GafOption_Click(i); });
    // 2.
    select(pictOption, option(kPictType), [this](int i) { pictOption_Click(i); });
    // 3.
    txt3DOprog->setText(setting(kModelKey));
    select(Doption, option(k3doType), [this](int i) { Doption_Click(i); });
    // 4.
    txtTNTprog->setText(setting(kMapKey));
    // 5. The game's own executable is shown; the "TA" setting is not.
    if (!gameDirectory.isEmpty()) {
        TxtTA->setText(gameDirectory + gameExecutable(gameDirectory));
    }
    // 6.
    TxtUnitViewer->setText(setting(kUnitViewerKey));
}

void frmProgSearch::GafOption_Click(int index) {
    if (index == 0) {
        programs_.SpriteProgramPath = SiblingProgramPath(programDirectory_, kSpriteViewer);
        settings_.write(kApp, kPrograms, kSpriteKey, programs_.SpriteProgramPath);
    } else {
        settings_.write(kApp, kPrograms, kSpriteKey, txtGafProg->text().toStdString());
    }
    txtGafProg->setEnabled(index == 1);
    lbBrowseGAF->setEnabled(index == 1);
    settings_.writeNumber(kApp, kOptions, kGafType, index);
}

void frmProgSearch::Doption_Click(int index) {
    if (index == 0) {
        programs_.ModelProgramPath = SiblingProgramPath(programDirectory_, kModelViewer);
        settings_.write(kApp, kPrograms, kModelKey, programs_.ModelProgramPath);
    } else {
        settings_.write(kApp, kPrograms, kModelKey, txt3DOprog->text().toStdString());
    }
    txt3DOprog->setEnabled(index == 1);
    lbBrowse3DOprog->setEnabled(index == 1);
    settings_.writeNumber(kApp, kOptions, k3doType, index);
}

void frmProgSearch::pictOption_Click(int index) {
    settings_.writeNumber(kApp, kOptions, kPictType, index);
    programs_.PictureExternal = index == 1;
}

void frmProgSearch::browse(std::string ProgramLocations::*variable, QLineEdit* box,
                           const char* key) {
    const auto chosen = common::Dialogs::current().openFile(
        this, QStringLiteral("Select the program..."),
        QStringLiteral("Programs(*.exe)|*.exe|All files|*"), QDir::homePath());
    if (!chosen) {
        return;
    }
    programs_.*variable = chosen->toStdString();
    box->setText(*chosen);
    settings_.write(kApp, kPrograms, key, programs_.*variable);
}

void frmProgSearch::done(int result) {
    LoadProgramPaths(settings_, programs_);
    QDialog::done(result);
}

} // namespace crateward
