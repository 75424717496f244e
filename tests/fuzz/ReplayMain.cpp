// replay_<fuzzer> <file or folder>...: runs the kept inputs through the
// fuzzer's own entry point without libFuzzer, so the ordinary test builds
// (and their sanitizers) replay every fault the fuzzers once found.
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdint>
#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);
extern "C" __attribute__((weak)) int LLVMFuzzerInitialize(int* argc, char*** argv);

namespace {

QStringList InputFiles(int argc, char* argv[])
{
    QStringList files;
    for (int i = 1; i < argc; ++i) {
        const QString path = QFile::decodeName(argv[i]);
        if (!QFileInfo(path).isDir()) {
            files.append(path);
            continue;
        }
        for (const QString& name : QDir(path).entryList(QDir::Files, QDir::Name))
            files.append(QDir(path).filePath(name));
    }
    return files;
}

} // namespace

int main(int argc, char* argv[])
{
    const QStringList files = InputFiles(argc, argv);
    if (files.isEmpty()) {
        std::fprintf(stderr, "replay: no inputs\n");
        return 2;
    }
    if (LLVMFuzzerInitialize)
        LLVMFuzzerInitialize(&argc, &argv);
    for (const QString& path : files) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "replay: cannot read %s\n", qPrintable(path));
            return 2;
        }
        const QByteArray bytes = file.readAll();
        std::printf("replay: %s\n", qPrintable(path));
        std::fflush(stdout);
        LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                               static_cast<std::size_t>(bytes.size()));
    }
    return 0;
}
