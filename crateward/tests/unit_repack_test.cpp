// The unit repack through the window: the selection check, the messages,
// the new archive's names and method, and that only this run's pieces are
// packed.
#include "gui_harness.hpp"
#include "packing_harness.hpp"

namespace crateward::testing {
namespace {

namespace fs = std::filesystem;

class UnitRepack : public WindowTest {
protected:
    frmMain& openArchive(const std::vector<Member>& members) {
        writeArchive(path("units.hpi"), members);
        frmMain& w = start();
        w.OpenHPI(QString::fromStdString(path("units.hpi").string()));
        EXPECT_NE(w.archiveHandle(), 0);
        return w;
    }
    void select(const QString& folder, const QString& name) {
        clickNode(folder);
        clickEntry(name);
    }
};

const std::vector<Member> kUnit = {
    {"units\\ARMCOM.FBI", "fbi"},
    {"objects3d\\ARMCOM.3do", "3do"},
    {"scripts\\ARMCOM.cob", "cob"},
    {"anims\\ARMCOM_gadget.gaf", "gadget"},
    {"features\\corpses\\ARMCOM.tdf", "corpse info"},
    {"unitpics\\ARMCOM.pcx", "pcx"},
    {"download\\ARMCOM.tdf", "download"},
    {"weapons\\ARMCOM_weapons.tdf", "weapons"},
    {"units\\armlow.Fbi", "fbi"},
    {"units\\odd.fbix", "x"},
    {"objects3d\\thing.3do", "x"},
};

TEST_F(UnitRepack, GathersThePiecesIntoAZlibArchiveWithTheNotes) {
    frmMain& w = openArchive(kUnit);
    // A piece of that name left in the working directory is not taken.
    const fs::path work(w.workingDirectory().toStdString());
    testsupport::writeFile(work / "ARMCOM_dead.3do", "stale");
    select("units", "ARMCOM.FBI");
    // Selecting the definition previews the unit picture from its own copy.
    const auto before = std::distance(fs::directory_iterator(work), fs::directory_iterator());
    const fs::path target = path("ARMCOM.ufo");
    (*dialogs_)->queueText(QString::fromStdString(target.string()));
    trigger("RepackUnit");
    const auto& save = (*dialogs_)->calls.front();
    EXPECT_EQ(save.kind, "saveFile");
    EXPECT_EQ(save.title, "Save new HPI archive as...");
    EXPECT_EQ(save.filter, "UFO file|*.ufo|HPI file|*.hpi|CCX file|*.ccx");
    EXPECT_EQ(save.start, QString::fromStdString(path("ARMCOM").string())); // beside the archive
    EXPECT_EQ(messages(), QStringList({"|Unit succesfully exported.\r\rNo corpse model found."
                                       "\rNo textures found."}));
    bool chunked = false;
    EXPECT_EQ(
        archiveContents(target, &chunked),
        (std::map<std::string, std::string>{{"anims\\ARMCOM_gadget.gaf", "gadget"},
                                            {"download\\ARMCOM.tdf", "download"},
                                            {"features\\corpses\\ARMCOM_dead.tdf", "corpse info"},
                                            {"objects3d\\ARMCOM.3do", "3do"},
                                            {"scripts\\ARMCOM.cob", "cob"},
                                            {"unitpics\\ARMCOM.pcx", "pcx"},
                                            {"units\\ARMCOM.FBI", "fbi"},
                                            {"weapons\\ARMCOM_weapons.tdf", "weapons"}}));
    EXPECT_TRUE(chunked);
    // The working directory is left as it was.
    EXPECT_EQ(std::distance(fs::directory_iterator(work), fs::directory_iterator()), before);
}

TEST_F(UnitRepack, OnlyADefinitionFileIsAcceptedAndMissingPiecesStop) {
    openArchive(kUnit);
    select("units", "odd.fbix");
    trigger("RepackUnit");
    select("objects3d", "thing.3do");
    trigger("RepackUnit");
    // Fbi is accepted: it is missing its model, so the gathering stops.
    select("units", "armlow.Fbi");
    trigger("RepackUnit");
    EXPECT_EQ(messages(), QStringList({"No no...|You must select an unit(*.FBI files) !!",
                                       "No no...|You must select an unit(*.FBI files) !!",
                                       "|Error extracting the unit .3DO file !!"}));
    for (const auto& call : (*dialogs_)->calls) {
        EXPECT_EQ(call.kind, "message"); // no save dialog
    }
}

TEST_F(UnitRepack, CancelledSaveWritesNothing) {
    openArchive(kUnit);
    select("units", "ARMCOM.FBI");
    (*dialogs_)->queueText(std::nullopt);
    trigger("RepackUnit");
    EXPECT_TRUE(messages().isEmpty());
    EXPECT_FALSE(fs::exists(path("ARMCOM.ufo")));
}

TEST_F(UnitRepack, RealUnitArchiveGivesItsPiecesAndNotes) {
    TOOLKIT_REQUIRE_REAL("archives/ArmBani.ufo", real);
    fs::copy_file(real, path("ArmBani.ufo"));
    frmMain& w = start();
    w.OpenHPI(QString::fromStdString(path("ArmBani.ufo").string()));
    select("units", "ARMBANI.fbi");
    (*dialogs_)->queueText(QString::fromStdString(path("unit.ufo").string()));
    trigger("RepackUnit");
    // Its weapons file is named "_weapon.tdf" and it has no textures.
    EXPECT_EQ(messages(), QStringList({"|Unit succesfully exported.\r\rNo unit weapon found."
                                       "\rNo textures found."}));
    const auto unit = archiveContents(path("unit.ufo"));
    const auto whole = archiveContents(path("ArmBani.ufo"));
    ASSERT_EQ(unit.size(), 8u);
    EXPECT_EQ(unit.at("objects3d\\ARMBANI.3do"), whole.at("objects3d\\armbani.3do"));
    EXPECT_EQ(unit.at("features\\corpses\\ARMBANI_dead.tdf"),
              whole.at("features\\corpses\\armbani_dead.tdf"));
}

} // namespace
} // namespace crateward::testing
