// The unit check as Crateward shows it: the engine's dependency tree for
// one unit flattened into the lines of a tree view (each with its depth),
// and the engine's own text report. RunUnitCheck is the one place that
// calls the unitcheck engine; the windows only read these values.
#pragma once

#include <QString>
#include <QStringList>

#include <vector>

namespace crateward {

// How a line reads. Error is what the game cannot do without (missing,
// unreadable, a script piece the model lacks); Warning and Note are what
// it copes with (no builder lists the unit, no build button, unused pieces).
enum class DependencyState { Found, Shadowed, Error, Warning, Note };

struct DependencyLine {
    // 0 for the unit's definition, 1 for what it names, and so on.
    int depth = 0;
    // "model (Objectname)", "sound (soundhit)", "texture"...
    QString kind;
    // The name as the definition or the file naming it gives it.
    QString name;
    // What was looked for: a member path, or a pattern with the section or
    // entry ("weapons\*.tdf [ARM_LASER]").
    QString path;
    // The providing member ('\'), or the file holding the section, entry or
    // piece; empty when nothing provides it.
    QString member;
    DependencyState state = DependencyState::Found;
    QString stateText;          // the engine's word: "found", "missing"...
    QString detail;             // the engine's note or warning, if any
    QString source;             // the providing source's name, empty when missing
    QString sourceFile;         // its disk path: the archive file, or the game folder
    QString shadowedBy;         // the later sources that also hold it
    bool inOpenArchive = false; // provided by the archive checked first
    bool looseFile = false;     // provided by a loose file of the game folder
};

struct UnitCheckView {
    QString unit;       // the unit's name
    QString archive;    // the archive checked first
    QString gameFolder; // checked after it; empty when none was mounted
    std::vector<DependencyLine> lines;
    QString report; // the engine's text report, as the command line prints it
    int missing = 0;
    int shadowed = 0;
    int warnings = 0;
    QString error; // why no check could be made (then the lines are empty)

    // The members the lines name that the archive checked first provides,
    // once each (without regard to case), in the order of the lines.
    QStringList membersInArchive() const;
};

// Checks the unit whose definition is `member` ('\'-separated) of the
// archive file `archive`, against that archive first and then the game
// folder `gameFolder` (empty, or a folder that cannot be mounted: the
// archive alone).
UnitCheckView RunUnitCheck(const QString& archive, const QString& member,
                           const QString& gameFolder);

} // namespace crateward
