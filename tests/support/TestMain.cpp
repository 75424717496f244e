#include <QApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>

// Every test program runs with a home and config folder of its own, so that no
// test ever reads or writes the real ones.
int main(int argc, char* argv[])
{
    QTemporaryDir home;
    if (!home.isValid())
        return 2;
    const QByteArray root = home.path().toUtf8();
    setenv("HOME", root.constData(), 1);
    setenv("XDG_CONFIG_HOME", (root + "/.config").constData(), 1);
    setenv("XDG_DATA_HOME", (root + "/.local/share").constData(), 1);
    setenv("XDG_CACHE_HOME", (root + "/.cache").constData(), 1);
    setenv("XDG_CONFIG_DIRS", (root + "/etc-xdg").constData(), 1);
    setenv("TMPDIR", root.constData(), 1);
    setenv("QT_QPA_PLATFORM", "offscreen", 0);

    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
