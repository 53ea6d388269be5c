#include "ui/user_settings.h"

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include "io/safe_file.h"

namespace tsuzuri {

namespace {

// Far above what the program keeps (a few hundred bytes).
constexpr std::size_t kMaxSettingsBytes = 64 * 1024;

// The settings file's bytes in a folder of the program's own, only for it.
class PrivateCopy {
public:
    explicit PrivateCopy(const std::filesystem::path& file) {
        if (!dir_.isValid())
            return;
        const ReadResult read = readRegularFile(file, kMaxSettingsBytes, Links::Refuse);
        QFile copy(name());
        if (!copy.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            return;
        if (read.ok())
            copy.write(reinterpret_cast<const char*>(read.bytes.data()),
                       static_cast<qint64>(read.bytes.size()));
        ready_ = copy.flush();
    }
    bool ready() const { return ready_; }
    QString name() const { return dir_.filePath(QStringLiteral("settings.ini")); }

private:
    QTemporaryDir dir_;
    bool ready_ = false;
};

}  // namespace

QVariant readSetting(const std::filesystem::path& file, const QString& key) {
    const PrivateCopy copy(file);
    if (!copy.ready())
        return {};
    const QSettings settings(copy.name(), QSettings::IniFormat);
    return settings.value(key);
}

std::string writeSetting(const std::filesystem::path& file, const QString& key,
                         const QVariant& value) {
    const PrivateCopy copy(file);
    const std::string failed = "「" + file.string() + "」を書けません";
    if (!copy.ready())
        return failed;
    {
        QSettings settings(copy.name(), QSettings::IniFormat);
        settings.setValue(key, value);
        settings.sync();
        if (settings.status() != QSettings::NoError)
            return failed;
    }
    QFile written(copy.name());
    if (!written.open(QIODevice::ReadOnly))
        return failed;
    const QByteArray bytes = written.readAll();
    std::error_code ignored;
    std::filesystem::create_directories(file.parent_path(), ignored);
    return writeFileAtomically(file, {bytes.begin(), bytes.end()}, Durability::Sync);
}

}  // namespace tsuzuri
