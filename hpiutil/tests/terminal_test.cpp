// Control characters in names never reach a terminal raw: the tools escape
// them when the output is a terminal, pass them unchanged into pipes, and
// JSON escapes them always.
#include "common/json.hpp"
#include "common/terminal_text.hpp"
#include "testsupport/command_run.hpp"
#include "testsupport/hpi_raw_writer.hpp"
#include "testsupport/testsupport.hpp"

#include <array>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

const std::string kHostile = "red\x1b[31m\x7f\xc2\x9b.txt";

// Runs the hpi tool with standard output and error on a new terminal;
// returns everything the terminal received.
std::string onTerminal(const std::vector<std::string>& args) {
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    EXPECT_GE(master, 0);
    EXPECT_EQ(::grantpt(master), 0);
    EXPECT_EQ(::unlockpt(master), 0);
    const std::string slaveName = ::ptsname(master);
    const pid_t child = ::fork();
    if (child == 0) {
        ::setsid();
        const int slave = ::open(slaveName.c_str(), O_RDWR);
        ::dup2(slave, 1);
        ::dup2(slave, 2);
        ::close(master);
        std::vector<char*> argv{const_cast<char*>(HPI_TOOL)};
        for (const auto& a : args) {
            argv.push_back(const_cast<char*>(a.c_str()));
        }
        argv.push_back(nullptr);
        ::execv(HPI_TOOL, argv.data());
        ::_exit(127);
    }
    std::string out;
    std::array<char, 4096> buf;
    for (;;) {
        const ssize_t n = ::read(master, buf.data(), buf.size());
        if (n > 0) {
            out.append(buf.data(), std::size_t(n));
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else {
            break; // EIO once the child has closed the terminal
        }
    }
    ::close(master);
    ::waitpid(child, nullptr, 0);
    return out;
}

std::string throughPipe(const std::string& args) {
    return testsupport::runCommand(std::string(HPI_TOOL) + " " + args + " 2>&1").out;
}

} // namespace

TEST(TerminalText, ControlCharactersAreEscaped) {
    EXPECT_EQ(common::escapeControls(kHostile + "\ttab\nline\r"),
              "red\\x1b[31m\\x7f\\u009b.txt\\ttab\\nline\\r");
    EXPECT_EQ(common::jsonString(kHostile + "\n"), "\"red\\u001b[31m\\u007f\\u009b.txt\\n\"");
    // Printable text, accented letters and backslashes pass unchanged.
    EXPECT_EQ(common::escapeControls("units\\caf\xC3\xA9 \xE2\x82\xAC"),
              "units\\caf\xC3\xA9 \xE2\x82\xAC");
}

TEST(TerminalText, HpiEscapesNamesOnATerminalAndKeepsThemInPipes) {
    testsupport::TempDir dir;
    // The archive's names are Windows-1252: ESC and DEL stay what they are.
    const std::string raw = "red\x1b[31m\x7f.txt";
    testsupport::writeFile(dir / "evil.hpi",
                           testsupport::makeRawHpi({testsupport::rawFile(raw, "x"),
                                                    testsupport::rawFile("two\nlines", "y")}));
    const std::string archive = (dir / "evil.hpi").string();

    for (const auto& args : std::vector<std::vector<std::string>>{
             {"list", archive}, {"list", "-l", archive}, {"verify", archive}}) {
        const std::string out = onTerminal(args);
        EXPECT_EQ(out.find('\x1b'), std::string::npos) << args[0] << ": " << out;
        EXPECT_EQ(out.find('\x7f'), std::string::npos) << args[0];
        EXPECT_NE(out.find("red\\x1b[31m\\x7f.txt"), std::string::npos) << out;
        EXPECT_NE(out.find("two\\nlines"), std::string::npos) << out;
    }
    // Errors on standard error too.
    const std::string err = onTerminal({"cat", archive, "no\x1b]0;title\x07"});
    EXPECT_EQ(err.find('\x1b'), std::string::npos) << err;
    EXPECT_NE(err.find("no\\x1b]0;title\\x07"), std::string::npos) << err;

    // Into a pipe, scripts get the exact names.
    const std::string piped = throughPipe("list '" + archive + "'");
    EXPECT_NE(piped.find(raw + "\n"), std::string::npos) << piped;
    EXPECT_NE(piped.find("two\nlines\n"), std::string::npos) << piped;
}
