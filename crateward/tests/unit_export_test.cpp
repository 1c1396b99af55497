// The unit-viewer commands through the window: the quick export's two
// archives and the viewer's start, the selection checks, the model view in
// Meshglass, and the custom export's form.
#include <QLineEdit>
#include <QPushButton>

#include "frm_export_to_viewer.hpp"
#include "gui_harness.hpp"
#include "packing_harness.hpp"
#include "program_commands.hpp"

namespace crateward::testing {
namespace {

namespace fs = std::filesystem;

const std::vector<Member> kUnits = {
    {"units\\armcom.fbi", "armcom description"}, {"units\\corak.fbi", "corak description"},
    {"units\\armlost.fbi", "no script"},         {"objects3d\\armcom.3do", "armcom model"},
    {"objects3d\\corak.3do", "corak model"},     {"objects3d\\armlost.3do", "lost model"},
    {"scripts\\armcom.cob", "armcom script"},    {"scripts\\corak.cob", "corak script"},
};

class UnitExport : public WindowTest {
protected:
    // The viewer is a Windows program: a stand-in wine is installed, so no
    // notice about wine comes.
    void SetUp() override {
        WindowTest::SetUp();
        testsupport::writeFile(path("bin/wine"), "#!/bin/sh\n");
        fs::permissions(path("bin/wine"), fs::perms::owner_all);
        const char* old = std::getenv("PATH");
        oldPath_ = old ? old : "";
        setenv("PATH", (path("bin").string() + ":" + oldPath_).c_str(), 1);
    }
    void TearDown() override {
        setenv("PATH", oldPath_.c_str(), 1);
        WindowTest::TearDown();
    }
    std::string oldPath_;

    frmMain& openUnits(const std::string& viewer) {
        writeArchive(path("units.hpi"), kUnits);
        if (!viewer.empty()) {
            settings().write("Crateward", "Programmes", "UV", viewer);
        }
        frmMain& w = start();
        // Crateward's own folder, with the two fixed descriptions.
        testsupport::writeFile(path("program/armCRWDunit.fbi"), "arm test unit");
        testsupport::writeFile(path("program/corCRWDunit.fbi"), "core test unit");
        w.programCommands()->setProgramDirectory(path("program"));
        w.OpenHPI(QString::fromStdString(path("units.hpi").string()));
        EXPECT_NE(w.archiveHandle(), 0);
        return w;
    }
    std::string viewer() {
        testsupport::writeFile(path("UV/uv.exe"), "viewer");
        return path("UV/uv.exe").string();
    }
    void select(const QString& folder, const QString& name) {
        clickNode(folder);
        clickEntry(name);
    }
};

TEST_F(UnitExport, QuickExportWritesBothSidesAndStartsTheViewerInItsFolder) {
    const std::string uv = viewer();
    openUnits(uv);
    select("units", "armcom.fbi");
    trigger("mnuExport");
    EXPECT_TRUE(messages().isEmpty());
    EXPECT_EQ(archiveContents(path("UV/Arm Crateward.ufo")),
              (std::map<std::string, std::string>{{"objects3d\\armCRWD.3do", "armcom model"},
                                                  {"scripts\\armCRWD.cob", "armcom script"},
                                                  {"units\\armCRWD.fbi", "arm test unit"}}));
    bool chunked = true;
    EXPECT_EQ(archiveContents(path("UV/Core Crateward.ufo"), &chunked),
              (std::map<std::string, std::string>{{"objects3d\\corCRWD.3do", "armcom model"},
                                                  {"scripts\\corCRWD.cob", "armcom script"},
                                                  {"units\\corCRWD.fbi", "core test unit"}}));
    EXPECT_FALSE(chunked);
    ASSERT_EQ(launcher_->launches().size(), 1u);
    EXPECT_EQ(launcher_->launches()[0], (Launch{QString::fromStdString(uv), QString(),
                                                QString::fromStdString(path("UV").string())}));
    // The extracted model and script are gone once written.
    EXPECT_FALSE(fs::exists(path("home/temp.3do")) || fs::exists(path("home/temp.cob")));
}

TEST_F(UnitExport, QuickExportRefusesOtherFilesAndStopsWithoutAScript) {
    const std::string uv = viewer();
    openUnits(uv);
    select("scripts", "armcom.cob");
    trigger("mnuExport");
    ASSERT_EQ(messages().size(), 1);
    EXPECT_EQ(messages()[0], QStringLiteral("No no...|") + QString(40, ' ') +
                                 "You must select an unit !!\rYou can only export to Unit Viwer "
                                 "by selecting .fbi file, often in \"units\" subdirectory");
    select("units", "armlost.fbi");
    trigger("mnuExport");
    EXPECT_EQ(messages().size(), 1);
    EXPECT_FALSE(fs::exists(path("UV/Arm Crateward.ufo")));
    EXPECT_FALSE(fs::exists(path("UV/Core Crateward.ufo")));
    EXPECT_TRUE(launcher_->launches().empty());
}

TEST_F(UnitExport, AMissingViewerIsAskedForAndSaved) {
    openUnits("");
    select("units", "corak.fbi");
    const std::string uv = viewer();
    (*dialogs_)->queueAnswer(common::MessageAnswer::Ok);
    (*dialogs_)->queueText(QString::fromStdString(uv));
    trigger("mnuExport");
    EXPECT_EQ(messages(), QStringList({"|Select your TA unit viewer..."}));
    // The prompt offers native programs too.
    EXPECT_EQ((*dialogs_)->calls.at(1).kind, "openFile");
    EXPECT_EQ((*dialogs_)->calls.at(1).filter, common::kProgramFilter);
    EXPECT_EQ(settings().read("Crateward", "Programmes", "UV"), uv);
    EXPECT_EQ(archiveContents(path("UV/Core Crateward.ufo")).at("scripts\\corCRWD.cob"),
              "corak script");
    EXPECT_EQ(launcher_->launches().size(), 1u);
}

TEST_F(UnitExport, ViewModelTakesItFromObjects3dAndStartsMeshglass) {
    frmMain& w = openUnits("");
    select("units", "armcom.fbi");
    trigger("mnuUnitVew3DO");
    ASSERT_EQ(launcher_->launches().size(), 1u);
    const Launch& launch = launcher_->launches()[0];
    EXPECT_EQ(launch.program, QString::fromStdString(path("program/meshglass").string()));
    EXPECT_EQ(launch.directory, QString::fromStdString(path("program").string()));
    EXPECT_EQ(launch.arguments, w.workingDirectory() + "objects3d/armcom.3do");
    const auto model = testsupport::readFile(launch.arguments.toStdString());
    EXPECT_EQ(std::string(model.begin(), model.end()), "armcom model");
    select("scripts", "armcom.cob");
    trigger("mnuUnitVew3DO");
    EXPECT_EQ(messages(),
              QStringList({"Warning !|You must select a .3DO file or a Unit configuration file "
                           "(.FBI)."}));
    EXPECT_EQ(launcher_->launches().size(), 1u);
}

TEST_F(UnitExport, ViewModelCopiesTheArchivesTexturesBesideTheModel) {
    std::vector<Member> members = kUnits;
    members.push_back({"TEXTURES\\armcom.GAF", "armcom textures"});
    members.push_back({"textures\\shared.gaf", "shared textures"});
    members.push_back({"textures\\notes.txt", "not a texture file"});
    writeArchive(path("textured.hpi"), members);
    frmMain& w = start();
    w.programCommands()->setProgramDirectory(path("program"));
    w.OpenHPI(QString::fromStdString(path("textured.hpi").string()));
    select("units", "armcom.fbi");
    trigger("mnuUnitVew3DO");
    ASSERT_EQ(launcher_->launches().size(), 1u);
    // Under their member paths, where the viewer's lookup finds them from
    // the model's folder upwards.
    const fs::path working = w.workingDirectory().toStdString();
    const auto textures = testsupport::readFile(working / "textures" / "armcom.GAF");
    EXPECT_EQ(std::string(textures.begin(), textures.end()), "armcom textures");
    EXPECT_TRUE(fs::exists(working / "textures" / "shared.gaf"));
    EXPECT_FALSE(fs::exists(working / "textures" / "notes.txt"));
}

TEST_F(UnitExport, CustomExportFillsTheMembersAndPacksTheChosenFiles) {
    const std::string uv = viewer();
    openUnits(uv);
    select("units", "corak.fbi");
    testsupport::writeFile(path("mine/better.cob"), "my script");
    (*dialogs_)->queueText(QString::fromStdString(path("mine/better.cob").string()));
    (*dialogs_)->queueText(QString::fromStdString(path("mine/missing.3do").string()));
    QStringList seen;
    whenModal<frmExportToViewer>([&](frmExportToViewer& form) {
        seen << form.TxtFBI->text() << form.Txt3DO->text() << form.TxtCOB->text();
        form.CmdBrowseCOB->click();
        form.CmdLaunch->click();
        // A chosen file that is gone stops the export with its message.
        form.Command1->click();
        form.CmdLaunch->click();
        form.DefautTDO->click();
        seen << form.Txt3DO->text();
    });
    trigger("mnuUnitCustomExport");
    EXPECT_EQ(seen, QStringList({"HPI:\\\\units\\corak.fbi", "HPI:\\\\objects3d\\corak.3do",
                                 "HPI:\\\\scripts\\corak.cob", "HPI:\\\\objects3d\\corak.3do"}));
    EXPECT_EQ(archiveContents(path("UV/Crateward Unit.ufo")),
              (std::map<std::string, std::string>{{"objects3d\\corak.3do", "corak model"},
                                                  {"scripts\\better.cob", "my script"},
                                                  {"units\\corak.fbi", "corak description"}}));
    const auto& open = (*dialogs_)->calls.front();
    EXPECT_EQ(open.filter, "COB files (*.cob)|*.cob");
    EXPECT_EQ(messages(), QStringList({"|The 3DO file doesn't exist !"}));
    EXPECT_EQ(launcher_->launches().size(), 1u);
    select("objects3d", "corak.3do");
    trigger("mnuUnitCustomExport");
    EXPECT_EQ(messages().last(), "Warning !|You must select a Unit configuration file (.FBI).");
}

} // namespace
} // namespace crateward::testing
