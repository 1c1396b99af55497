#include "working_copy.hpp"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "member_paths.hpp"
#include "mod_hpiutil.hpp"

namespace crateward {

std::optional<QString> WorkingCopyPath(const QString& workingDirectory, const QString& memberPath) {
    if (workingDirectory.isEmpty()) {
        return std::nullopt;
    }
    const auto relative = SafeRelativePath(memberPath.toStdString());
    if (!relative) {
        return std::nullopt;
    }
    return workingDirectory + QString::fromStdString(relative->generic_string());
}

std::optional<QString> CopyMember(std::int32_t handle, const QString& workingDirectory,
                                  const QString& memberPath, CopyMode mode) {
    const auto copy = WorkingCopyPath(workingDirectory, memberPath);
    if (!copy || mode == CopyMode::Unpacked) {
        return copy;
    }
    const QFileInfo info(*copy);
    if (mode == CopyMode::OnDemand && info.exists()) {
        return copy;
    }
    QDir().mkpath(info.path());
    hpi::ExtractFile(handle, memberPath.toStdString(), QFile::encodeName(*copy).toStdString());
    return copy;
}

std::optional<QString> ExtractedCopy(std::int32_t handle, const QString& workingDirectory,
                                     const QString& memberPath, bool modifying) {
    const auto copy = WorkingCopyPath(workingDirectory, memberPath);
    if (!copy) {
        return std::nullopt;
    }
    if (modifying) {
        return QFileInfo(*copy).isFile() ? copy : std::nullopt;
    }
    QDir().mkpath(QFileInfo(*copy).path());
    const bool written =
        hpi::ExtractFile(handle, memberPath.toStdString(), QFile::encodeName(*copy).toStdString());
    return written ? copy : std::nullopt;
}

} // namespace crateward
