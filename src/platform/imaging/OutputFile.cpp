#include "platform/imaging/OutputFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <sys/random.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {
constexpr std::size_t kBufferBytes = std::size_t{256} << 10;
// Hidden, and plainly a part of something: what a killed conversion may leave.
const QString kTemporaryPrefix = QStringLiteral(".framelift-");
const QString kTemporarySuffix = QStringLiteral(".part");
constexpr int kNameTries = 100;

QString RandomLetters()
{
    static constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    std::array<unsigned char, 6> bytes{};
    if (getrandom(bytes.data(), bytes.size(), 0) != static_cast<ssize_t>(bytes.size()))
        return {}; // the exclusive create still refuses a name that is taken
    QString letters;
    for (const unsigned char byte : bytes)
        letters += QLatin1Char(kAlphabet[byte % (sizeof kAlphabet - 1)]);
    return letters;
}

// 0 once the file at from is named to, which no file may have had; EEXIST
// when one has it; another error number when the file system refuses.
int PlaceWithoutReplacing(const QByteArray& from, const QByteArray& to)
{
    if (renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return errno;
    // A file system without that rename (NFS, some FUSE ones): a hard link refuses a taken name too.
    if (link(from.constData(), to.constData()) == 0) {
        unlink(from.constData());
        return 0;
    }
    if (errno != EPERM && errno != EOPNOTSUPP && errno != ENOSYS)
        return errno;
    // Without links either, the name is claimed by an exclusive create and
    // the complete file then takes the claim's place.
    const int claim = open(to.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (claim < 0)
        return errno;
    close(claim);
    if (std::rename(from.constData(), to.constData()) == 0)
        return 0;
    const int error = errno;
    unlink(to.constData());
    return error;
}
} // namespace

OutputFile::OutputFile(const QString& path) : path_(path)
{
    Create();
}

OutputFile::~OutputFile()
{
    file_.reset();
    if (!temporaryPath_.isEmpty() && !placed_)
        unlink(QFile::encodeName(temporaryPath_).constData());
}

// Pictures get the permissions of any new file (0666 less the umask), as
// they did when they were created under their own names.
void OutputFile::Create()
{
    const QDir folder = QFileInfo(path_).dir();
    for (int attempt = 0; attempt < kNameTries; ++attempt) {
        const QString candidate = folder.filePath(kTemporaryPrefix + RandomLetters() + kTemporarySuffix);
        const int descriptor =
            open(QFile::encodeName(candidate).constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (descriptor < 0 && errno == EEXIST)
            continue;
        if (descriptor < 0) {
            Fail(path_, errno);
            return;
        }
        temporaryPath_ = candidate;
        file_.reset(fdopen(descriptor, "w+b"));
        if (!file_) {
            Fail(path_, errno);
            close(descriptor);
            return;
        }
        // Writers hand over a picture row by row; a buffer of many rows keeps
        // the number of system calls small (the C library's own holds 4 KB).
        buffer_ = std::make_unique_for_overwrite<char[]>(kBufferBytes);
        setvbuf(file_.get(), buffer_.get(), _IOFBF, kBufferBytes);
        return;
    }
    Fail(path_, EEXIST);
}

bool OutputFile::Write(const void* data, std::size_t size)
{
    if (size == 0 || std::fwrite(data, 1, size, file_.get()) == size)
        return true;
    Fail(path_, errno);
    return false;
}

bool OutputFile::CheckWritten()
{
    if (!file_)
        return false;
    // ferror also catches a write that failed inside an encoder library's own fwrite calls.
    if (std::ferror(file_.get()))
        Fail(path_, errno);
    return errorText_.isEmpty();
}

bool OutputFile::Commit()
{
    if (!CheckWritten())
        return false;
    if (std::fclose(file_.release()) != 0) {
        Fail(path_, errno);
        return false;
    }
    committed_ = true;
    return true;
}

OutputFile::Placement OutputFile::PlaceAs(const QString& path)
{
    if (!committed_ || placed_)
        return Placement::Failed;
    const int error = PlaceWithoutReplacing(QFile::encodeName(temporaryPath_), QFile::encodeName(path));
    if (error == EEXIST)
        return Placement::NameTaken;
    if (error != 0) {
        Fail(path, error);
        return Placement::Failed;
    }
    placed_ = true;
    return Placement::Placed;
}

void OutputFile::Fail(const QString& path, int error)
{
    if (!errorText_.isEmpty())
        return;
    const QString reason = error != 0 ? QString::fromLocal8Bit(std::strerror(error)) : QStringLiteral("write error");
    errorText_ = path + QStringLiteral(": ") + reason;
}
