#pragma once

#include <QString>
#include <QVariant>
#include <filesystem>
#include <string>

namespace tsuzuri {

// The per-user settings file: QSettings' INI format, read and written only
// through the program's file layer. QSettings on the file itself would write
// through a link at its name and wait on a FIFO there; here it works on a
// private copy.

// The value of `key`, or nothing when the file is missing, no regular file,
// a link, too large or unreadable.
QVariant readSetting(const std::filesystem::path& file, const QString& key);

// Sets `key` to `value`, keeping the file's other settings; the file is
// replaced by a complete new one. Returns "" or a Japanese text naming it.
std::string writeSetting(const std::filesystem::path& file, const QString& key,
                         const QVariant& value);

}  // namespace tsuzuri
