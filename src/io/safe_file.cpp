#include "io/safe_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>

namespace tsuzuri {

namespace {

// Closes a descriptor when it goes out of scope.
class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }
    // Closes now and tells whether the close succeeded (a deferred write error
    // shows up here on some file systems).
    bool close() {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }

private:
    int fd_;
};

std::string quoted(const std::filesystem::path& path) {
    return "「" + path.string() + "」";
}

// Opens for reading without waiting for a writer (a FIFO) or a device, and
// checks that what was opened is a regular file of at most `maxBytes`.
ReadResult openForReading(const std::filesystem::path& path, std::size_t maxBytes, Links links,
                          int& fd) {
    ReadResult result;
    int flags = O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY;
    if (links == Links::Refuse)
        flags |= O_NOFOLLOW;
    fd = ::open(path.c_str(), flags);
    if (fd < 0) {
        result.error = errno;
        result.fault = errno == ENOENT  ? ReadFault::Missing
                       : errno == ELOOP ? ReadFault::NotRegular
                                        : ReadFault::Failed;
        return result;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        result.error = errno;
        result.fault = ReadFault::Failed;
    } else if (!S_ISREG(info.st_mode)) {
        result.fault = ReadFault::NotRegular;
    } else if (static_cast<std::uintmax_t>(info.st_size) > maxBytes) {
        result.fault = ReadFault::TooLarge;
    }
    result.identity = identityOf(info);
    return result;
}

ReadResult readFrom(const std::filesystem::path& path, std::size_t count, std::size_t maxBytes,
                    Links links) {
    int raw = -1;
    ReadResult result = openForReading(path, maxBytes, links, raw);
    Descriptor fd(raw);
    if (!result.ok())
        return result;
    // The file may grow while it is read: never past what the caller takes.
    const std::size_t limit = std::min(count, maxBytes);
    result.bytes.resize(std::min<std::size_t>(limit, 1 << 16));
    std::size_t filled = 0;
    while (filled < limit) {
        if (filled == result.bytes.size())
            result.bytes.resize(std::min(limit, 2 * result.bytes.size()));
        const ssize_t n =
            ::read(fd.get(), result.bytes.data() + filled, result.bytes.size() - filled);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            result.error = errno;
            result.fault = ReadFault::Failed;
            result.bytes.clear();
            return result;
        }
        if (n == 0)
            break;
        filled += static_cast<std::size_t>(n);
    }
    result.bytes.resize(filled);
    return result;
}

bool writeAll(int fd, const std::uint8_t* data, std::size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

// The permissions a new file of the user gets: rw for whom the umask allows.
mode_t newFileMode() {
    static const mode_t mode = [] {
        mode_t mask = 022;
        std::ifstream status("/proc/self/status");
        std::string line;
        while (std::getline(status, line)) {
            if (line.rfind("Umask:", 0) == 0)
                mask = static_cast<mode_t>(std::strtol(line.c_str() + 6, nullptr, 8));
        }
        return static_cast<mode_t>(0666 & ~mask);
    }();
    return mode;
}

// The temporary files: hidden, and of a fixed length whatever the target's
// name, so that a target of the longest name a folder takes still has one.
constexpr char kTemporaryPrefix[] = ".tsuzuri-";
constexpr char kTemporarySuffix[] = ".tmp";
constexpr std::size_t kUniqueLetters = 6;  // mkstemp's XXXXXX

std::filesystem::path folderOf(const std::filesystem::path& path) {
    return path.has_parent_path() ? path.parent_path() : ".";
}

// Creates a new file beside `path` whose name no other file has, exclusively.
int createUniqueBeside(const std::filesystem::path& path, std::string& name) {
    name = (folderOf(path) / (std::string(kTemporaryPrefix) + "XXXXXX" + kTemporarySuffix)).string();
    return ::mkostemps(name.data(), static_cast<int>(sizeof kTemporarySuffix - 1), O_CLOEXEC);
}

bool uniqueLetters(const std::string& name, std::size_t from) {
    if (name.size() < from + kUniqueLetters)
        return false;
    for (std::size_t i = from; i < from + kUniqueLetters; ++i) {
        if (!std::isalnum(static_cast<unsigned char>(name[i])))
            return false;
    }
    return true;
}

// Whether `name` is one of this layer's temporary names, or (for a non-empty
// `formerTarget`) ".<formerTarget>.XXXXXX", as they were once made.
bool isTemporaryName(const std::string& name, const std::string& formerTarget) {
    const std::string prefix = kTemporaryPrefix, suffix = kTemporarySuffix;
    if (name.size() == prefix.size() + kUniqueLetters + suffix.size() && name.rfind(prefix, 0) == 0 &&
        name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0)
        return uniqueLetters(name, prefix.size());
    const std::string former = "." + formerTarget + ".";
    return !formerTarget.empty() && name.size() == former.size() + kUniqueLetters &&
           name.rfind(former, 0) == 0 && uniqueLetters(name, former.size());
}

// Gives the new file the owner, group and permission bits of the regular file
// it replaces; a file that replaces nothing (or a link) gets a new file's
// permissions. When the old group cannot be kept, the new group gets no more
// than everybody had. Returns 0 or the errno of the failure.
int keepAttributes(int fd, const std::filesystem::path& path) {
    struct stat old {};
    if (::lstat(path.c_str(), &old) != 0 || !S_ISREG(old.st_mode))
        return ::fchmod(fd, newFileMode()) == 0 ? 0 : errno;
    mode_t mode = old.st_mode & (S_IRWXU | S_IRWXG | S_IRWXO);
    if (::fchown(fd, old.st_uid, old.st_gid) != 0 &&
        ::fchown(fd, static_cast<uid_t>(-1), old.st_gid) != 0)
        mode = (mode & ~S_IRWXG) | ((mode & S_IRWXO) << 3);
    return ::fchmod(fd, mode) == 0 ? 0 : errno;
}

// Puts the folder entry of a renamed file on the disk.
int syncFolderOf(const std::filesystem::path& path) {
    Descriptor fd(::open(folderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.get() < 0)
        return errno;
    return ::fsync(fd.get()) == 0 ? 0 : errno;
}

std::string readOnlyText(const std::filesystem::path& path) {
    return quoted(path) + "は書き込みが許されていないファイルです（読み取り専用）。" +
           "「名前を付けて保存」で別の名前を付けてください";
}

}  // namespace

ReadResult readFileHead(const std::filesystem::path& path, std::size_t count, std::size_t maxBytes,
                        Links links) {
    return readFrom(path, count, maxBytes, links);
}

ReadResult readRegularFile(const std::filesystem::path& path, std::size_t maxBytes, Links links) {
    return readFrom(path, maxBytes, maxBytes, links);
}

std::string writeFileAtomically(const std::filesystem::path& path,
                                const std::vector<std::uint8_t>& bytes, Durability durability) {
    AtomicFileWriter file(path);
    file.write(bytes.data(), bytes.size());
    return file.commit(durability);
}

AtomicFileWriter::AtomicFileWriter(std::filesystem::path path) : path_(std::move(path)) {
    // Refused before anything is written: a long export learns it at once.
    if (isWriteProtected(path_)) {
        readOnly_ = true;
        error_ = EACCES;
        return;
    }
    fd_ = createUniqueBeside(path_, temporary_);
    if (fd_ < 0) {
        error_ = errno;
        temporary_.clear();  // nothing of ours to remove
    }
}

AtomicFileWriter::~AtomicFileWriter() {
    if (fd_ >= 0)
        ::close(fd_);
    if (!temporary_.empty())
        ::unlink(temporary_.c_str());
}

bool AtomicFileWriter::fail(int error) {
    if (error_ == 0)
        error_ = error != 0 ? error : EIO;
    return false;
}

bool AtomicFileWriter::write(const std::uint8_t* data, std::size_t size) {
    if (error_ != 0)
        return false;
    return writeAll(fd_, data, size) || fail(errno);
}

bool AtomicFileWriter::writeAt(std::size_t offset, const std::uint8_t* data, std::size_t size) {
    if (error_ != 0)
        return false;
    while (size > 0) {
        const ssize_t n = ::pwrite(fd_, data, size, static_cast<off_t>(offset));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return fail(errno);
        data += n;
        offset += static_cast<std::size_t>(n);
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

std::string AtomicFileWriter::commit(Durability durability) {
    if (error_ == 0 && isWriteProtected(path_)) {
        readOnly_ = true;
        fail(EACCES);
    }
    if (error_ == 0) {
        if (const int error = keepAttributes(fd_, path_))
            fail(error);
    }
    if (error_ == 0 && durability == Durability::Sync && ::fsync(fd_) != 0)
        fail(errno);
    if (fd_ >= 0 && ::close(fd_) != 0)
        fail(errno);
    fd_ = -1;
    if (error_ == 0 && ::rename(temporary_.c_str(), path_.c_str()) != 0)
        fail(errno);
    if (readOnly_)
        return readOnlyText(path_);
    if (error_ != 0)
        return quoted(path_) + "を書けません（" + errnoText(error_) + "）";
    temporary_.clear();  // it is the file at path_ now
    if (durability == Durability::Sync) {
        if (const int error = syncFolderOf(path_))
            return quoted(path_) + "を書けたか確かめられません（" + errnoText(error) + "）";
    }
    return {};
}

std::string overwriteBytes(const std::filesystem::path& path,
                           const std::vector<std::pair<std::size_t, std::uint8_t>>& bytes,
                           std::size_t maxBytes) {
    Descriptor fd(::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY | O_NOFOLLOW));
    if (fd.get() < 0)
        return quoted(path) + "を書けません（" + errnoText(errno) + "）";
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0)
        return quoted(path) + "を書けません（" + errnoText(errno) + "）";
    if (!S_ISREG(info.st_mode) || info.st_nlink != 1)
        return quoted(path) + "は普通のファイルではありません";
    const auto size = static_cast<std::uintmax_t>(info.st_size);
    if (size > maxBytes)
        return quoted(path) + "は大きすぎます";
    for (const auto& [offset, byte] : bytes) {
        if (offset >= size)
            return quoted(path) + "は短すぎます";
    }
    for (const auto& [offset, byte] : bytes) {
        ssize_t n;
        do
            n = ::pwrite(fd.get(), &byte, 1, static_cast<off_t>(offset));
        while (n < 0 && errno == EINTR);
        if (n != 1)
            return quoted(path) + "を書けません（" + errnoText(n < 0 ? errno : EIO) + "）";
    }
    if (!fd.close())
        return quoted(path) + "を書けません（" + errnoText(errno) + "）";
    return {};
}

bool canCreateFilesIn(const std::filesystem::path& dir) {
    std::string name = (dir / ".tsuzuri-probe.XXXXXX").string();
    const int fd = ::mkostemp(name.data(), O_CLOEXEC);
    if (fd < 0)
        return false;
    ::close(fd);
    ::unlink(name.c_str());
    return true;
}

std::size_t removeStaleTemporaries(const std::filesystem::path& dir, std::chrono::seconds age,
                                   const std::string& formerTarget) {
    DIR* folder = ::opendir(dir.c_str());
    if (folder == nullptr)
        return 0;
    const int fd = ::dirfd(folder);
    const std::time_t limit = std::time(nullptr) - static_cast<std::time_t>(age.count());
    std::size_t removed = 0;
    while (const dirent* entry = ::readdir(folder)) {
        if (!isTemporaryName(entry->d_name, formerTarget))
            continue;
        struct stat info {};
        if (::fstatat(fd, entry->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0 &&
            S_ISREG(info.st_mode) && info.st_mtime < limit && ::unlinkat(fd, entry->d_name, 0) == 0)
            ++removed;
    }
    ::closedir(folder);
    return removed;
}

std::string errnoText(int error) {
    switch (error) {
        case ENOSPC:
        case EDQUOT:
            return "ディスクがいっぱいです";
        case EACCES:
        case EPERM:
            return "アクセスが許されていません";
        case EROFS:
            return "読み取り専用のディスクです";
        case ENOENT:
            return "フォルダがありません";
        case EISDIR:
            return "同じ名前のフォルダがあります";
        case ENOTDIR:
            return "途中の名前がフォルダではありません";
        case EIO:
            return "ディスクの入出力エラーです";
        case ENAMETOOLONG:
            return "名前が長すぎます";
        default:
            return std::strerror(error);
    }
}

std::string readFaultText(const std::filesystem::path& path, const ReadResult& result) {
    switch (result.fault) {
        case ReadFault::None:
            return {};
        case ReadFault::Missing:
            return quoted(path) + "がありません";
        case ReadFault::NotRegular:
            return quoted(path) + "は普通のファイルではありません";
        case ReadFault::TooLarge:
            return quoted(path) + "は大きすぎます";
        case ReadFault::Failed:
            break;
    }
    return quoted(path) + "を読めません（" + errnoText(result.error) + "）";
}

}  // namespace tsuzuri
