// The Launcher seam: every start of another program by Crateward, and every
// file handed to the desktop, goes through the installed Launcher. The
// program installs a DesktopLauncher; tests install a RecordingLauncher.
#pragma once

#include <QString>

#include <memory>
#include <vector>

namespace crateward {

class Launcher {
public:
    virtual ~Launcher() = default;

    // Opens `file` as the shell's "open" action does: a program is started
    // with `arguments` as its whole argument text and `directory` as its
    // working directory; a document goes to the desktop's program for it.
    // Failures are silent.
    virtual void open(const QString& file, const QString& arguments, const QString& directory) = 0;

    // The installed object (a DesktopLauncher until another is installed).
    static Launcher& current();
    // Installs `launcher`; returns the one it replaces.
    static std::unique_ptr<Launcher> install(std::unique_ptr<Launcher> launcher);

    // Set once the user has been told that wine is missing (told once per
    // launcher, that is once per run).
    bool wineNoticeShown = false;
};

// One recorded launch.
struct Launch {
    QString program;
    QString arguments;
    QString directory;
    bool operator==(const Launch&) const = default;
};

class RecordingLauncher : public Launcher {
public:
    void open(const QString& file, const QString& arguments, const QString& directory) override {
        launches.push_back({file, arguments, directory});
    }
    std::vector<Launch> launches;
};

// Installs a RecordingLauncher for the life of the object and restores the
// previous one after it.
class ScopedRecordingLauncher {
public:
    ScopedRecordingLauncher();
    ~ScopedRecordingLauncher();
    ScopedRecordingLauncher(const ScopedRecordingLauncher&) = delete;
    ScopedRecordingLauncher& operator=(const ScopedRecordingLauncher&) = delete;
    std::vector<Launch>& launches() { return recorder_->launches; }

private:
    RecordingLauncher* recorder_;
    std::unique_ptr<Launcher> previous_;
};

// Starts `program` with the argument text (possibly empty) and the
// program's own folder as working directory; the result is not checked.
// A Windows program while wine is not installed cannot start: the first
// time, a message says that wine is needed.
void LaunchProgram(const QString& program, const QString& arguments);

} // namespace crateward
