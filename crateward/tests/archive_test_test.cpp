// "HPI Archive > Test archive" through the window: a clean archive says so,
// a damaged one lists the damaged member with its offset and what is wrong.
#include <QAction>
#include <QCoreApplication>
#include <QEvent>
#include <QMenuBar>
#include <QLabel>
#include <QTreeWidget>

#include "archive_test.hpp"
#include "archive_test_result.hpp"
#include "frm_wait.hpp"
#include "gui_harness.hpp"
#include "hpiutil/archive.hpp"
#include "hpiutil/writer.hpp"

namespace crateward::testing {
namespace {

namespace fs = std::filesystem;

// Text that compresses into several chunks.
std::vector<std::uint8_t> payload(int seed) {
    std::vector<std::uint8_t> bytes(200000);
    std::uint32_t x = 2463534242u + std::uint32_t(seed);
    for (auto& b : bytes) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        b = std::uint8_t('a' + x % 8);
    }
    return bytes;
}

class TestArchive : public WindowTest {
protected:
    fs::path writeZlibArchive() {
        const fs::path p = path("units.hpi");
        hpiutil::ArchiveWriter writer;
        EXPECT_TRUE(writer.addBuffer("units\\good.fbi", payload(1)));
        EXPECT_TRUE(writer.addBuffer("units\\deep\\bad.3do", payload(2)));
        EXPECT_TRUE(writer.write(p, hpiutil::Method::Zlib));
        return p;
    }
    ArchiveTestResult* runTest(const fs::path& archive) {
        frmMain& w = start();
        w.OpenHPI(QString::fromStdString(archive.string()));
        EXPECT_NE(w.archiveHandle(), 0);
        trigger("mnuTestArchive");
        EXPECT_EQ(w.findChild<frmWait*>(), nullptr);
        return w.findChild<ArchiveTestResult*>("ArchiveTestResult");
    }
};

TEST_F(TestArchive, ACleanArchiveSaysSo) {
    ArchiveTestResult* result = runTest(writeZlibArchive());
    ASSERT_NE(result, nullptr);
    EXPECT_TRUE(result->LbSummary->text().startsWith("The archive is clean: 2 files"))
        << result->LbSummary->text().toStdString();
    EXPECT_EQ(result->ListProblems->topLevelItemCount(), 0);
    EXPECT_TRUE(messages().isEmpty());
}

TEST_F(TestArchive, ADamagedMemberIsListedWithItsOffsetAndWhatIsWrong) {
    const fs::path p = writeZlibArchive();
    std::uint32_t dataOffset = 0;
    {
        auto archive = hpiutil::Archive::open(p);
        ASSERT_TRUE(archive);
        const auto found = archive->find("units\\deep\\bad.3do");
        ASSERT_TRUE(found);
        dataOffset = archive->entries()[std::size_t(*found)].dataOffset;
    }
    // A byte inside the member's first compressed chunk changes.
    auto bytes = testsupport::readFile(p);
    ASSERT_LT(dataOffset + 200u, bytes.size());
    bytes[dataOffset + 200] ^= 0x5a;
    testsupport::writeFile(p, bytes);

    ArchiveTestResult* result = runTest(p);
    ASSERT_NE(result, nullptr);
    EXPECT_NE(result->LbSummary->text().indexOf("1 errors"), -1)
        << result->LbSummary->text().toStdString();
    ASSERT_GE(result->ListProblems->topLevelItemCount(), 1);
    const QTreeWidgetItem* row = result->ListProblems->topLevelItem(0);
    EXPECT_EQ(row->text(0), "error");
    EXPECT_EQ(row->text(1), "units\\deep\\bad.3do");
    EXPECT_TRUE(row->text(2).startsWith("0x"));
    EXPECT_FALSE(row->text(3).isEmpty());
    for (int i = 0; i < result->ListProblems->topLevelItemCount(); ++i) {
        EXPECT_NE(result->ListProblems->topLevelItem(i)->text(1), "units\\good.fbi");
    }
    // The window stays usable, and a second test replaces the result.
    EXPECT_TRUE(window_->menuBar()->isEnabled());
    trigger("mnuTestArchive");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(window_->findChildren<ArchiveTestResult*>().size(), 1);
}

} // namespace
} // namespace crateward::testing
