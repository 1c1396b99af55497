// Program locations, FolderOf and the file association written into
// temporary XDG folders.
#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "file_association.hpp"
#include "program_keys.hpp"
#include "program_locations.hpp"
#include "settings_keys.hpp"
#include "testsupport/testsupport.hpp"

namespace crateward {
namespace {

namespace fs = std::filesystem;

using testsupport::readText;

TEST(ProgramLocations, FolderOfCutsAtTheLastSeparator) {
    EXPECT_EQ(FolderOf("C:\\Tools\\uv.exe"), "C:\\Tools");
    EXPECT_EQ(FolderOf("uv.exe"), "uv.exe");
    EXPECT_EQ(FolderOf("/opt/ta/bin/uv"), "/opt/ta/bin");
    EXPECT_EQ(FolderOf("/home/me/.wine/drive_c\\TA\\totala.exe"), "/home/me/.wine/drive_c\\TA");
    EXPECT_EQ(FolderOf(""), "");
}

TEST(ProgramLocations, LoadReadsTheFiveKeysAndLeavesThePictureOption) {
    testsupport::TempDir dir;
    common::SettingsStore store(dir.path());
    ProgramLocations programs;
    programs.TAPath = "stale";
    programs.PictureExternal = true;
    LoadProgramPaths(store, programs);
    EXPECT_EQ(programs.TAPath, "");
    EXPECT_EQ(programs.MapProgramPath, "");
    EXPECT_TRUE(programs.PictureExternal);

    store.write(kApp, kPrograms, "ta", "/g/totala.exe"); // keys match without regard to case
    store.write(kApp, kPrograms, kUnitViewerKey, "/u/uv");
    store.write(kApp, kPrograms, kModelKey, "/m/3do");
    store.write(kApp, kPrograms, kSpriteKey, "/s/gaf");
    store.write(kApp, kPrograms, kMapKey, "/e/map editor.exe");
    LoadProgramPaths(store, programs);
    EXPECT_EQ(programs.TAPath, "/g/totala.exe");
    EXPECT_EQ(programs.UnitViewerPath, "/u/uv");
    EXPECT_EQ(programs.ModelProgramPath, "/m/3do");
    EXPECT_EQ(programs.SpriteProgramPath, "/s/gaf");
    EXPECT_EQ(programs.MapProgramPath, "/e/map editor.exe");
}

TEST(FileTypeKeys, RegistryFormOfOneExtension) {
    const auto keys =
        FileTypeKeys("ufo", "C:\\Crate\\Crateward.exe", "", "Crateward", "HPI Archive file");
    const std::vector<RegistryValue> expected = {
        {".ufo", "Crateward"},
        {"Crateward", "HPI Archive file"},
        {"Crateward\\DefaultIcon", "C:\\Crate\\Crateward.exe,0"},
        {"Crateward\\shell\\open\\command", "C:\\Crate\\Crateward.exe %1"},
    };
    EXPECT_EQ(keys, expected);
    // Already dotted; defaults for the key and the description.
    const auto defaults = FileTypeKeys(".hpi", "/usr/bin/crateward", "  ", "", "");
    EXPECT_EQ(defaults[0], (RegistryValue{".hpi", "Reg.Application"}));
    EXPECT_EQ(defaults[1], (RegistryValue{"Reg.Application", "RegDescription"}));
    EXPECT_EQ(defaults[2].value, "/usr/bin/crateward"); // no ",0": not an .exe
}

TEST(FileTypeKeys, IconFromAnExecutableOrLibraryGetsItsIndex) {
    const auto icon = [](const std::string& given) {
        return FileTypeKeys("hpi", "/x/crateward", given, "K", "D")[2].value;
    };
    EXPECT_EQ(icon("C:\\x\\icons.ico"), "C:\\x\\icons.ico");
    EXPECT_EQ(icon("c:\\x\\tool.Exe"), "c:\\x\\tool.Exe,0");
    EXPECT_EQ(icon("c:\\x\\shell.DLL"), "c:\\x\\shell.DLL,0");
    EXPECT_EQ(icon("c:\\x\\exe"), "c:\\x\\exe");
}

TEST(FileTypeKeys, MimeTypeIsNamedAfterTheDescription) {
    EXPECT_EQ(MimeTypeFor("HPI Archive file"), "application/x-hpi-archive");
    EXPECT_EQ(MimeTypeFor("RegDescription"), "application/x-regdescription");
    EXPECT_EQ(MimeTypeFor("  !! "), "application/x-unknown");
}

class Association : public ::testing::Test {
protected:
    void SetUp() override {
        target.dataHome = dir.path() / "data";
        target.configHome = dir.path() / "config";
        target.runTool = [this](const std::string& tool, const std::vector<std::string>& args) {
            runs.push_back(tool + " " + (args.empty() ? std::string() : args[0]));
            return toolResult;
        };
    }
    fs::path package() const { return target.dataHome / "mime/packages/crateward.xml"; }
    fs::path desktop() const { return target.dataHome / "applications/crateward.desktop"; }
    fs::path list() const { return target.configHome / "mimeapps.list"; }

    testsupport::TempDir dir;
    AssociationTarget target;
    std::vector<std::string> runs;
    bool toolResult = true;
};

TEST_F(Association, ArchiveTypesWrittenOnceAndLeftAloneAfter) {
    RegisterArchiveTypes(target, "/opt/crate/crateward");
    const std::string xml = readText(package());
    EXPECT_NE(xml.find("<mime-type type=\"application/x-hpi-archive\">"), std::string::npos);
    EXPECT_NE(xml.find("<comment>HPI Archive file</comment>"), std::string::npos);
    const auto at = [&](const char* glob) { return xml.find(glob); };
    EXPECT_LT(at("<glob pattern=\"*.hpi\"/>"), at("<glob pattern=\"*.ccx\"/>"));
    EXPECT_LT(at("<glob pattern=\"*.ccx\"/>"), at("<glob pattern=\"*.ufo\"/>"));
    EXPECT_LT(at("<glob pattern=\"*.ufo\"/>"), at("<glob pattern=\"*.gp3\"/>"));
    EXPECT_NE(at("<glob pattern=\"*.gp3\"/>"), std::string::npos);
    EXPECT_NE(xml.find("value=\"HAPI\""), std::string::npos);

    const std::string entry = readText(desktop());
    EXPECT_NE(entry.find("\nExec=/opt/crate/crateward %f\n"), std::string::npos);
    EXPECT_NE(entry.find("\nMimeType=application/x-hpi-archive;\n"), std::string::npos);
    EXPECT_NE(entry.find("\nIcon=package-x-generic\n"), std::string::npos);
    EXPECT_EQ(readText(list()),
              "[Default Applications]\napplication/x-hpi-archive=crateward.desktop\n");
    const std::string mime = "update-mime-database " + (target.dataHome / "mime").string();
    const std::string apps =
        "update-desktop-database " + (target.dataHome / "applications").string();
    // Each extension adds its glob, the desktop entry changes once: each
    // database is brought up to date once, after everything is written.
    EXPECT_EQ(runs, (std::vector<std::string>{mime, apps}));

    // The next start: same content, no rewrite, no tool.
    const auto stamp = fs::last_write_time(package());
    runs.clear();
    RegisterArchiveTypes(target, "/opt/crate/crateward");
    EXPECT_TRUE(runs.empty());
    EXPECT_EQ(fs::last_write_time(package()), stamp);
    EXPECT_EQ(readText(package()), xml);

    // A moved program rewrites the desktop entry only.
    RegisterArchiveTypes(target, "/home/me/Crate Ward/crateward");
    EXPECT_EQ(runs, std::vector<std::string>{apps});
    EXPECT_NE(readText(desktop()).find("\nExec=\"/home/me/Crate Ward/crateward\" %f\n"),
              std::string::npos);
}

TEST_F(Association, DefaultApplicationKeepsTheUsersOtherChoices) {
    testsupport::writeFile(list(), std::string("[Added Associations]\ntext/plain=gedit.desktop;\n\n"
                                               "[Default Applications]\n"
                                               "image/png=gimp.desktop\n"
                                               "application/x-hpi-archive=other.desktop\n"));
    ASSERT_TRUE(
        RegisterFileType(target, "hpi", "/c/crateward", "", "Crateward", "HPI Archive file"));
    EXPECT_EQ(readText(list()), "[Added Associations]\ntext/plain=gedit.desktop;\n\n"
                                "[Default Applications]\nimage/png=gimp.desktop\n"
                                "application/x-hpi-archive=crateward.desktop\n");
    // A list without the section gets one at its end.
    testsupport::writeFile(list(), std::string("[Added Associations]\nimage/png=gimp.desktop;\n"));
    ASSERT_TRUE(
        RegisterFileType(target, "hpi", "/c/crateward", "", "Crateward", "HPI Archive file"));
    EXPECT_EQ(readText(list()),
              "[Added Associations]\nimage/png=gimp.desktop;\n\n"
              "[Default Applications]\napplication/x-hpi-archive=crateward.desktop\n");
}

TEST(MimeAppsList, TheTypeEndsWithOneEntryWhateverTheFileHeld) {
    const std::string type = "application/x-hpi-archive";
    // Spaces around '=' are allowed; a second entry (here in a second
    // section of the same name) would contradict the first.
    const std::string spaced =
        "[Default Applications]\r\napplication/x-hpi-archive = old.desktop\r\n"
        "[Default Applications]\napplication/x-hpi-archive=b.desktop\n";
    const std::string merged = MimeAppsWithDefault(spaced, type, "crateward.desktop");
    EXPECT_EQ(merged, "[Default Applications]\r\napplication/x-hpi-archive=crateward.desktop\n"
                      "[Default Applications]\n");
    EXPECT_EQ(MimeAppsWithDefault(merged, type, "crateward.desktop"), merged);
    // A section without the entry gains it after its last line.
    EXPECT_EQ(MimeAppsWithDefault("[Default Applications]\nimage/png=gimp.desktop\n\n[X]\n", type,
                                  "c.desktop"),
              "[Default Applications]\nimage/png=gimp.desktop\n"
              "application/x-hpi-archive=c.desktop\n\n[X]\n");
}

TEST_F(Association, FailuresAreReportedAsFalse) {
    // A tool that fails.
    toolResult = false;
    EXPECT_FALSE(
        RegisterFileType(target, "hpi", "/c/crateward", "", "Crateward", "HPI Archive file"));
    // Nothing changed, nothing ran: success.
    runs.clear();
    EXPECT_TRUE(
        RegisterFileType(target, "hpi", "/c/crateward", "", "Crateward", "HPI Archive file"));
    EXPECT_TRUE(runs.empty());
    // A data folder that cannot be created.
    testsupport::writeFile(dir.path() / "blocked", std::string("a file"));
    target.dataHome = dir.path() / "blocked";
    EXPECT_FALSE(
        RegisterFileType(target, "hpi", "/c/crateward", "", "Crateward", "HPI Archive file"));
}

TEST_F(Association, TextIsEscapedForEachFile) {
    target.programIcon = "/share/crate.png";
    ASSERT_TRUE(RegisterFileType(target, "a&b", "/c/$x\\y", "c:\\x\\tool.exe", "My <Key>",
                                 "Maps & \"Mods\"\nfile"));
    const std::string xml = readText(target.dataHome / "mime/packages/my--key-.xml");
    EXPECT_NE(xml.find("<comment>Maps &amp; &quot;Mods&quot; file</comment>"), std::string::npos);
    EXPECT_NE(xml.find("<glob pattern=\"*.a&amp;b\"/>"), std::string::npos);
    EXPECT_EQ(xml.find("<magic"), std::string::npos);
    const std::string entry = readText(target.dataHome / "applications/my--key-.desktop");
    EXPECT_NE(entry.find("\nExec=\"/c/\\\\$x\\\\\\\\y\" %f\n"), std::string::npos) << entry;
    EXPECT_NE(entry.find("\nIcon=/share/crate.png\n"), std::string::npos); // tool.exe,0
    EXPECT_NE(entry.find("\nComment=Maps & \"Mods\" file\n"), std::string::npos);
}

// Sets environment variables for one test and restores them after it.
class ScopedEnvironment {
public:
    void set(const char* name, const std::string& value) {
        const char* old = std::getenv(name);
        saved_.push_back({name, old ? std::optional<std::string>(old) : std::nullopt});
        setenv(name, value.c_str(), 1);
    }
    ~ScopedEnvironment() {
        for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) {
            if (it->second) {
                setenv(it->first, it->second->c_str(), 1);
            } else {
                unsetenv(it->first);
            }
        }
    }

private:
    std::vector<std::pair<const char*, std::optional<std::string>>> saved_;
};

TEST(AssociationTarget, FollowsTheXdgVariables) {
    testsupport::TempDir dir;
    ScopedEnvironment env;
    env.set("XDG_DATA_HOME", (dir.path() / "d").string());
    env.set("XDG_CONFIG_HOME", "relative/ignored");
    env.set("HOME", dir.path().string());
    const AssociationTarget target = AssociationTarget::forCurrentUser();
    EXPECT_EQ(target.dataHome, dir.path() / "d");
    EXPECT_EQ(target.configHome, dir.path() / ".config");
    // A tool that is not installed counts as done.
    env.set("PATH", dir.path().string());
    EXPECT_TRUE(RunInstalledTool("update-mime-database", {"x"}));
    testsupport::writeFile(dir.path() / "failing", std::string("#!/bin/sh\nexit 3\n"));
    fs::permissions(dir.path() / "failing", fs::perms::owner_all);
    EXPECT_FALSE(RunInstalledTool("failing", {}));
}

} // namespace
} // namespace crateward
