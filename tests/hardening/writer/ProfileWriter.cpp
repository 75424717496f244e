// Writes one key of a profile over and over, as a second copy of the program
// would: framelift_profile_writer <profile file> <key> <count>.
// After every write it reads the file afresh and exits with 1 as soon as the
// file does not parse or its own last value is missing.
#include "platform/profile/Profile.h"

#include <QCoreApplication>
#include <QSettings>

#include <cstdio>

namespace {

const QString kSection = QStringLiteral("Race");

bool ReadsBack(const QString& path, const QString& key, int value)
{
    QSettings fresh(path, QSettings::IniFormat);
    return fresh.status() == QSettings::NoError && fresh.value(kSection + u'/' + key).toInt() == value;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() != 4) {
        std::fprintf(stderr, "usage: framelift_profile_writer <profile> <key> <count>\n");
        return 2;
    }
    const QString& path = arguments.at(1);
    const QString& key = arguments.at(2);
    const int count = arguments.at(3).toInt();
    Profile profile(path);
    for (int value = 1; value <= count; ++value) {
        profile.WriteInt(kSection, key, value);
        profile.WriteText(kSection, QStringLiteral("LastWriter"), key);
        if (!ReadsBack(path, key, value)) {
            std::fprintf(stderr, "%s: value %d lost\n", qPrintable(key), value);
            return 1;
        }
    }
    return 0;
}
