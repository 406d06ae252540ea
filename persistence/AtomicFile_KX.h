#pragma once

#include <QByteArray>
#include <QString>

// Writing a whole file without ever leaving a half-written one behind: the
// data goes to a new temporary file in the same folder, which is then renamed
// over the old file. A crash or a full disk in mid-write leaves the previous
// file as it was.
namespace AtomicFile {

enum class Links {
    // A symbolic link at the name is followed: the file it points to is replaced
    // (the user's own files, chosen by the user). The new file keeps the old
    // one's permissions, owner and group; where it cannot (a folder that takes
    // no new files, a file of someone else's that this user may write), the
    // old file is written over in place instead.
    Follow,
    // A symbolic link at the name is itself replaced, never followed (files
    // at well-known names in shared folders, such as the temporary folder).
    Replace,
};

// Returns true on success; otherwise false with a description in *error.
bool Write(const QString& fileName, const QByteArray& data, Links links, QString* error);

} // namespace AtomicFile
