// Working copies of archive members: the copy of a member lies in the
// instance's working directory under the member's archive folders and its
// name, so two members of the same name in different folders never share a
// copy. While a modification is under way the whole archive lies unpacked
// there already, at the same paths.
#pragma once

#include <QString>

#include <cstdint>
#include <optional>

namespace crateward {

// The disk path of the copy of `memberPath` ('\'-joined) below
// `workingDirectory` (which ends in '/'); nothing when the member's name
// could leave the working directory.
std::optional<QString> WorkingCopyPath(const QString& workingDirectory, const QString& memberPath);

// How a copy is made.
enum class CopyMode {
    OnDemand, // extract only when no file is at the copy's path
    Replace,  // extract over an earlier copy
    Unpacked, // a modification is under way: use the unpacked file as it is
};

// The copy of `memberPath`, made from the archive `handle` as `mode` says.
// A failed extraction still gives the path (where no file may be).
std::optional<QString> CopyMember(std::int32_t handle, const QString& workingDirectory,
                                  const QString& memberPath, CopyMode mode);

// The copy of `memberPath` extracted afresh from the archive `handle`, or,
// while a modification is under way, the unpacked file as it is. Nothing
// when the member cannot be had.
std::optional<QString> ExtractedCopy(std::int32_t handle, const QString& workingDirectory,
                                     const QString& memberPath, bool modifying);

// Copies every textures\*.gaf member of the archive `handle` to its working
// copy, as CopyMember does in `mode` (nothing to do while a modification is
// under way: they are unpacked already), so that a model opened from the
// working directory finds the archive's own textures. Returns the number of
// texture members.
int CopyTextureMembers(std::int32_t handle, const QString& workingDirectory, CopyMode mode);

} // namespace crateward
