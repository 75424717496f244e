#pragma once

#include <QString>

#include <cstddef>
#include <cstdio>
#include <memory>

// A picture file in the making. It is written under a hidden temporary name
// in the folder of its picture, ".framelift-XXXXXX.part", and takes a
// picture's name only once it is complete, so that no name ever holds part
// of a picture, not even after a crash. It never replaces a file: a name
// another file has is refused. Unless the file was placed under a name, the
// destructor removes it, so a failed write leaves nothing behind.
class OutputFile final {
public:
    enum class Placement { Placed, NameTaken, Failed };

    // path: the name the picture is meant to have. Its folder receives the
    // temporary file; the path itself names the picture in error texts.
    explicit OutputFile(const QString& path);
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    bool IsOpen() const { return file_ != nullptr; }
    std::FILE* Handle() const { return file_.get(); }
    const QString& Path() const { return path_; }
    const QString& TemporaryPath() const { return temporaryPath_; }

    // False, with the reason kept for ErrorText(), when not everything was written.
    bool Write(const void* data, std::size_t size);
    // False, with the reason kept, once any write to the file has failed.
    bool CheckWritten();
    // Flushes and closes; false when anything written was lost.
    bool Commit();
    // Gives the committed file the name path unless a file of that name
    // exists; on Failed, ErrorText() says why.
    Placement PlaceAs(const QString& path);
    // "<path>: <reason>" of the first failure.
    const QString& ErrorText() const { return errorText_; }

private:
    struct Closer {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };

    void Create();
    void Fail(const QString& path, int error);

    QString path_;
    QString temporaryPath_; // empty until the temporary file exists
    std::unique_ptr<char[]> buffer_; // the stream's; outlives it
    std::unique_ptr<std::FILE, Closer> file_;
    bool committed_ = false;
    bool placed_ = false;
    QString errorText_;
};
