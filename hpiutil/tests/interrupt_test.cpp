// A stopping signal in the middle of a pack or an extraction removes what
// was under way (the archive's temporary file, the member half written) and
// ends the process by that signal; the old archive stays as it was.
#include "hpiutil/archive.hpp"
#include "hpiutil/interrupt.hpp"
#include "hpiutil/writer.hpp"
#include "testsupport/testsupport.hpp"

#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace hpiutil;
using testsupport::TempDir;
namespace fs = std::filesystem;

namespace {

std::vector<std::string> namesIn(const fs::path& dir) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir)) {
        names.push_back(e.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

// Says "ready" on `fd` once, then waits for good: the child's work stops at
// that point until the signal comes.
[[noreturn]] void readyAndWait(int fd) {
    const char c = 'r';
    (void)::write(fd, &c, 1);
    for (;;) {
        std::this_thread::sleep_for(std::chrono::seconds(1));
    }
}

// Archive bytes from memory that stall at the first read past `stallAt`
// (the trailer's, made when opening, excepted).
class StallingSource : public ByteSource {
public:
    StallingSource(std::vector<std::uint8_t> bytes, std::uint64_t stallAt, int fd)
        : bytes_(std::move(bytes)), stallAt_(stallAt), fd_(fd) {}
    std::uint64_t size() const override { return bytes_.size(); }
    Status readAt(std::uint64_t offset, std::span<std::uint8_t> out) const override {
        if (offset >= stallAt_ && offset + out.size() < bytes_.size()) {
            readyAndWait(fd_);
        }
        if (offset + out.size() > bytes_.size()) {
            return fail("short read");
        }
        std::copy_n(bytes_.begin() + std::ptrdiff_t(offset), out.size(), out.begin());
        return {};
    }
    const std::string& name() const override { return name_; }

private:
    std::vector<std::uint8_t> bytes_;
    std::uint64_t stallAt_;
    int fd_;
    std::string name_ = "stalling";
};

// Runs `work` in a child that stops cleanly on signals, waits until it says
// it is ready, checks `underWay` then, sends `signal` and returns how the
// child ended.
template <class Work, class Check> int interruptChild(int signal, Work work, Check underWay) {
    int pipefd[2];
    EXPECT_EQ(::pipe(pipefd), 0);
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(pipefd[0]);
        RemoveUnfinishedFilesOnSignal();
        work(pipefd[1]);
        ::_exit(3); // finished without stalling: the test is wrong
    }
    ::close(pipefd[1]);
    char c = 0;
    const bool ready = ::read(pipefd[0], &c, 1) == 1;
    ::close(pipefd[0]);
    EXPECT_TRUE(ready);
    underWay();
    ::kill(child, signal);
    int status = 0;
    ::waitpid(child, &status, 0);
    return status;
}

} // namespace

TEST(Interrupt, PackStoppedMidwayLeavesTheOldArchiveAndNoTemporaryFile) {
    TempDir dir;
    ArchiveWriter old;
    ASSERT_TRUE(old.addBuffer("old.txt", {'o', 'l', 'd'}));
    ASSERT_TRUE(old.write(dir / "a.hpi", Method::Zlib));
    const auto before = testsupport::readFile(dir / "a.hpi");

    for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
        const int status = interruptChild(
            signal,
            [&](int fd) {
                ArchiveWriter w;
                (void)w.addBuffer("new.bin", testsupport::randomBytes(300000, 5));
                // Progress comes while the temporary file is being written.
                (void)w.write(dir / "a.hpi", Method::Zlib,
                              [fd](const PackProgress&) { readyAndWait(fd); });
            },
            [&] { EXPECT_EQ(namesIn(dir.path()).size(), 2u) << "no temporary file to remove"; });
        ASSERT_TRUE(WIFSIGNALED(status)) << signal;
        EXPECT_EQ(WTERMSIG(status), signal);
        EXPECT_EQ(namesIn(dir.path()), std::vector<std::string>{"a.hpi"}) << signal;
        EXPECT_EQ(testsupport::readFile(dir / "a.hpi"), before);
    }
}

TEST(Interrupt, ExtractionStoppedMidwayLeavesNoHalfWrittenMember) {
    TempDir dir;
    ArchiveWriter w;
    ASSERT_TRUE(w.addBuffer("big.bin", testsupport::randomBytes(400000, 6)));
    ASSERT_TRUE(w.write(dir / "b.hpi", Method::Lz77));
    auto bytes = testsupport::readFile(dir / "b.hpi");
    const std::uint64_t half = bytes.size() / 2;
    fs::create_directory(dir / "out");

    const int status = interruptChild(
        SIGINT,
        [&](int fd) {
            auto a = Archive::fromSource(std::make_unique<StallingSource>(bytes, half, fd));
            if (a) {
                (void)a->extractTo(a->entries()[0], dir / "out" / "big.bin");
            }
        },
        [&] { ASSERT_TRUE(fs::exists(dir / "out" / "big.bin")) << "no member under way"; });
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(WTERMSIG(status), SIGINT);
    EXPECT_TRUE(namesIn(dir / "out").empty());
}
