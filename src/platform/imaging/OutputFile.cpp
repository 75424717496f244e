#include "platform/imaging/OutputFile.h"

#include <QFile>

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

OutputFile::OutputFile(const QString& path) : path_(path)
{
    file_.reset(std::fopen(QFile::encodeName(path).constData(), "w+b"));
    if (!file_) {
        Fail(errno);
        return;
    }
    struct stat status {};
    created_ = true;
    regular_ = fstat(fileno(file_.get()), &status) == 0 && S_ISREG(status.st_mode);
}

OutputFile::~OutputFile()
{
    file_.reset();
    if (created_ && regular_ && !committed_)
        std::remove(QFile::encodeName(path_).constData());
}

bool OutputFile::Write(const void* data, std::size_t size)
{
    if (size == 0 || std::fwrite(data, 1, size, file_.get()) == size)
        return true;
    Fail(errno);
    return false;
}

bool OutputFile::CheckWritten()
{
    if (!file_)
        return false;
    // ferror also catches a write that failed inside an encoder library's own fwrite calls.
    if (std::ferror(file_.get()))
        Fail(errno);
    return errorText_.isEmpty();
}

bool OutputFile::Commit()
{
    if (!CheckWritten())
        return false;
    if (std::fclose(file_.release()) != 0) {
        Fail(errno);
        return false;
    }
    committed_ = true;
    return true;
}

void OutputFile::Fail(int error)
{
    if (!errorText_.isEmpty())
        return;
    const QString reason = error != 0 ? QString::fromLocal8Bit(std::strerror(error)) : QStringLiteral("write error");
    errorText_ = path_ + QStringLiteral(": ") + reason;
}
