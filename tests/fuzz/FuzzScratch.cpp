#include "FuzzScratch.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

namespace {

void PointHomeAt(const QString& root)
{
    const QByteArray path = root.toUtf8();
    setenv("HOME", path.constData(), 1);
    setenv("XDG_CONFIG_HOME", (path + "/.config").constData(), 1);
    setenv("XDG_DATA_HOME", (path + "/.local/share").constData(), 1);
    setenv("XDG_CACHE_HOME", (path + "/.cache").constData(), 1);
    setenv("XDG_CONFIG_DIRS", (path + "/etc-xdg").constData(), 1);
    setenv("TMPDIR", (path + "/tmp").constData(), 1);
    QDir().mkpath(root + QStringLiteral("/tmp"));
}

} // namespace

const QString& ScratchFolder()
{
    static const QTemporaryDir folder;
    static const QString path = [] {
        if (!folder.isValid()) {
            std::fprintf(stderr, "fuzzer: no scratch folder: %s\n", qPrintable(folder.errorString()));
            std::abort();
        }
        PointHomeAt(folder.path());
        return folder.path();
    }();
    return path;
}

bool WriteInput(const QString& path, const std::uint8_t* data, std::size_t size)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    const auto length = static_cast<qint64>(size);
    return file.write(reinterpret_cast<const char*>(data), length) == length;
}
