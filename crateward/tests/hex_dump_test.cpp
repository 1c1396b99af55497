// The hex dump: line layout, the 30,000-byte cap, the text column, the
// window's reuse, placement and maximise rule.
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QScreen>
#include <QTest>

#include "frm_fic_dump.hpp"
#include "gui_harness.hpp"
#include "hex_dump.hpp"
#include "hex_dump_lines.hpp"
#include "preview_dispatch.hpp"
#include "settings_keys.hpp"

namespace crateward::testing {
namespace {

namespace fs = std::filesystem;

std::string bytesOf(std::size_t n) {
    std::string s(n, '\0');
    for (std::size_t i = 0; i < n; ++i) {
        s[i] = char(i % 256);
    }
    return s;
}

TEST(HexDumpLines, LayoutOfAFullAndAPartialLine) {
    std::vector<std::uint8_t> bytes;
    for (int i = 0; i < 20; ++i) {
        bytes.push_back(std::uint8_t(i == 16 ? 'A' : i == 17 ? 0xE9 : i == 18 ? 0x80 : i * 13));
    }
    const QStringList lines = HexDumpLines(bytes);
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines[0].size(), 68);
    EXPECT_EQ(lines[1].size(), 68);
    EXPECT_EQ(lines[0], "00 0D 1A 27  34 41 4E 5B  68 75 82 8F  9C A9 B6 C3  "
                        "   '4AN[hu\u201a\u008f\u0153\u00a9\u00b6\u00c3");
    // Four slots of digits, twelve of spaces with their separators, then a
    // text column of four characters and twelve spaces.
    EXPECT_EQ(lines[1], QString("41 E9 80 F7  ") + QString(39, ' ') + "A\u00e9\u20ac\u00f7" +
                            QString(12, ' '));
    EXPECT_TRUE(HexDumpLines({}).isEmpty());
    // Every control byte is a space in the text column; 0x20 to 0x7E as they are.
    std::vector<std::uint8_t> all(128);
    for (int i = 0; i < 128; ++i) {
        all[std::size_t(i)] = std::uint8_t(i);
    }
    const QStringList ascii = HexDumpLines(all);
    for (int l = 0; l < 8; ++l) {
        for (int k = 0; k < 16; ++k) {
            const int b = l * 16 + k;
            const QChar expected = b < 32 ? QChar(' ') : QChar(b);
            ASSERT_EQ(ascii[l][52 + k], expected) << b;
        }
    }
}

class HexDumpTest : public WindowTest {
protected:
    frmMain& openArchive() {
        const auto p = path("a.hpi");
        writeArchive(p, {{"empty.bin", ""},
                         {"twenty.bin", bytesOf(20)},
                         {"big.bin", bytesOf(40000)},
                         {"docs\\small.txt", "hello"}});
        frmMain& w = start();
        w.OpenHPI(QString::fromStdString(p.string()));
        EXPECT_NE(w.archiveHandle(), 0);
        return w;
    }
    QString copy(const std::string& relative) const {
        return window_->workingDirectory() + QString::fromStdString(relative);
    }
    HexDump& dump() const { return *window_->previewDispatch()->hexDump(); }
    QStringList lines() const {
        QStringList out;
        for (int i = 0; i < dump().window()->Liste->count(); ++i) {
            out.append(dump().window()->Liste->item(i)->text());
        }
        return out;
    }
    void dumpEntry(const QString& name) {
        clickEntry(name);
        trigger("mnuHexDump");
    }
};

TEST_F(HexDumpTest, EmptyTwentyAndCappedFiles) {
    frmMain& w = openArchive();
    clickNode("Root");
    dumpEntry("empty.bin");
    ASSERT_NE(dump().window(), nullptr);
    EXPECT_TRUE(dump().window()->isVisible());
    EXPECT_EQ(dump().window()->windowTitle(), copy("empty.bin"));
    EXPECT_TRUE(lines().isEmpty());
    EXPECT_TRUE(messages().isEmpty());
    EXPECT_EQ(panel(1), "Ready");

    dumpEntry("twenty.bin");
    ASSERT_EQ(lines().size(), 2);
    EXPECT_EQ(lines()[1].left(12), "10 11 12 13 ");
    EXPECT_EQ(lines()[1].size(), 68);

    dumpEntry("big.bin");
    const QStringList big = lines();
    ASSERT_EQ(big.size(), 1875);
    // The last line ends with byte 30,000 (index 29,999 = 0x2F).
    EXPECT_EQ(big.last().mid(48, 2), "2F");
    EXPECT_EQ(big.last(), HexDumpLine(std::vector<std::uint8_t>({0x20, 0x21, 0x22, 0x23, 0x24, 0x25,
                                                                 0x26, 0x27, 0x28, 0x29, 0x2A, 0x2B,
                                                                 0x2C, 0x2D, 0x2E, 0x2F})));
    // The title is marked once, however many dumps are made.
    EXPECT_EQ(w.windowTitle().count(HexDump::kTitleSuffix), 1);
    EXPECT_TRUE(w.windowTitle().endsWith(HexDump::kTitleSuffix));
}

TEST_F(HexDumpTest, SecondDumpReplacesTheListAndKeepsThePlace) {
    openArchive();
    settings().writeNumber(kApp, "Affichage texte", "Dump Top", 1500);
    settings().writeNumber(kApp, "Affichage texte", "Dump Height", 4500);
    clickNode("Root");
    dumpEntry("twenty.bin");
    frmFicDump* first = dump().window();
    EXPECT_EQ(first->parentWidget(), window_.get());
    EXPECT_EQ(first->pos(), QPoint(133, 100));
    EXPECT_EQ(first->size(), QSize(7700 / 15, 300));
    EXPECT_EQ(first->Liste->width(), 7600 / 15);
    EXPECT_TRUE(QFontInfo(first->Liste->font()).fixedPitch());
    EXPECT_EQ(first->Liste->font().pointSize(), 8);
    first->move(40, 50);
    // The popup entry runs the same command; the copy is in its folder.
    clickNode("docs");
    clickEntry("small.txt");
    trigger("popupHexDump");
    EXPECT_EQ(dump().window(), first);
    EXPECT_EQ(lines().size(), 1);
    EXPECT_EQ(first->windowTitle(), copy("docs/small.txt"));
    EXPECT_EQ(first->pos(), QPoint(40, 50));
    // Wider is refused; taller is kept.
    first->resize(900, 400);
    EXPECT_EQ(first->size(), QSize(7700 / 15, 400));
    first->close();
    EXPECT_EQ(settings().readNumber(kApp, "Affichage texte", "Dump Left", 0), 600);
    EXPECT_EQ(settings().readNumber(kApp, "Affichage texte", "Dump Top", 0), 750);
    EXPECT_EQ(settings().readNumber(kApp, "Affichage texte", "Dump Height", 0), 6000);
}

TEST_F(HexDumpTest, MaximisingGivesANormalWindowAtTheTopLeft) {
    openArchive();
    clickNode("Root");
    dumpEntry("twenty.bin");
    frmFicDump* view = dump().window();
    view->showMaximized();
    QApplication::processEvents();
    EXPECT_FALSE(view->isMaximized());
    EXPECT_EQ(view->pos(), view->screen()->geometry().topLeft());
    EXPECT_EQ(view->height(), view->screen()->geometry().height() - 500 / 15);
    EXPECT_EQ(view->width(), 7700 / 15);
}

TEST_F(HexDumpTest, UnreadableCopyIsAnOpenFailure) {
    openArchive();
    clickNode("Root");
    // A folder where the copy should be cannot be read as a file.
    fs::create_directories(copy("twenty.bin").toStdString());
    dumpEntry("twenty.bin");
    ASSERT_EQ(messages().size(), 1);
    EXPECT_TRUE(messages()[0].startsWith("Crateward|Can't open file !\r") ||
                messages()[0].startsWith("Crateward|File read error !\r"))
        << messages()[0].toStdString();
    EXPECT_EQ(panel(1), "Ready");
}

} // namespace
} // namespace crateward::testing
