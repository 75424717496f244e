#pragma once

#include <QString>

#include <cstddef>
#include <cstdio>
#include <memory>

// A file opened for writing, replacing any file of that name. Unless Commit()
// succeeds, the destructor removes what was written, so a failed write never
// leaves a half-written picture behind. Only regular files are ever removed.
class OutputFile final {
public:
    explicit OutputFile(const QString& path);
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    bool IsOpen() const { return file_ != nullptr; }
    std::FILE* Handle() const { return file_.get(); }
    const QString& Path() const { return path_; }

    // False, with the reason kept for ErrorText(), when not everything was written.
    bool Write(const void* data, std::size_t size);
    // False, with the reason kept, once any write to the file has failed.
    bool CheckWritten();
    // Flushes and closes; false when anything written was lost.
    bool Commit();
    // "<path>: <reason>" of the first failure.
    const QString& ErrorText() const { return errorText_; }

private:
    struct Closer {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };

    void Fail(int error);

    QString path_;
    std::unique_ptr<std::FILE, Closer> file_;
    bool created_ = false;
    bool regular_ = false;
    bool committed_ = false;
    QString errorText_;
};
