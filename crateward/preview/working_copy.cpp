#include "working_copy.hpp"

#include <string>
#include <vector>

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

int CopyTextureMembers(std::int32_t handle, const QString& workingDirectory, CopyMode mode) {
    if (handle == 0) {
        return 0;
    }
    std::vector<std::string> members;
    hpi::ListEntry entry;
    std::int32_t index = 0;
    while ((index = hpi::Dir(handle, index, "textures", entry)) != 0) {
        const QString name = QString::fromStdString(entry.name);
        if (entry.type == hpi::kFile && name.endsWith(QLatin1String(".gaf"), Qt::CaseInsensitive)) {
            members.push_back("textures\\" + entry.name);
        }
    }
    for (const std::string& member : members) {
        CopyMember(handle, workingDirectory, QString::fromStdString(member), mode);
    }
    return int(members.size());
}

} // namespace crateward
