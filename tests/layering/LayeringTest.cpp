// The engine stays apart from the user interface, and the media and picture
// libraries stay behind src/platform/: read from the sources and the built command.
#include <QProcess>
#include <QRegularExpression>
#include <QStringList>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

const fs::path kSourceDir = FRAMELIFT_SOURCE_DIR;

struct Includes {
    std::vector<std::string> local;  // "..."
    std::vector<std::string> system; // <...>
};

Includes ReadIncludes(const fs::path& file)
{
    static const std::regex kInclude(R"(^\s*#\s*include\s*([<"])([^>"]+)[>"])");
    Includes includes;
    std::ifstream in(file);
    std::smatch match;
    for (std::string line; std::getline(in, line);)
        if (std::regex_search(line, match, kInclude))
            (match[1] == "<" ? includes.system : includes.local).push_back(match[2]);
    return includes;
}

// Beside the including file first, then from src/ as the program spells them.
fs::path Resolve(const fs::path& from, const std::string& include)
{
    for (const fs::path& candidate : {from.parent_path() / include, kSourceDir / "src" / include})
        if (fs::is_regular_file(candidate))
            return fs::canonical(candidate);
    return {};
}

bool IsLibraryHeader(const std::string& include)
{
    static const std::regex kLibrary(
        R"(^(libav\w*|libsw\w*|libpostproc|mpv)/.*|^(turbojpeg|jpeglib|png|pngconf|tiff|tiffio|gif_lib|libdeflate)\.h$)");
    return std::regex_match(include, kLibrary);
}

// The first chain of includes from file to a media or picture library header;
// empty when there is none.
std::string LibraryChain(const fs::path& file, std::map<fs::path, std::string>& known)
{
    if (const auto found = known.find(file); found != known.end())
        return found->second;
    known[file] = {}; // a header met again on its own chain adds nothing
    const Includes includes = ReadIncludes(file);
    std::string chain;
    for (const std::string& include : includes.system)
        if (chain.empty() && IsLibraryHeader(include))
            chain = '<' + include + '>';
    for (const std::string& include : includes.local) {
        const fs::path header = Resolve(file, include);
        if (chain.empty() && !header.empty()) {
            const std::string rest = LibraryChain(header, known);
            if (!rest.empty())
                chain = include + " -> " + rest;
        }
    }
    return known[file] = chain;
}

TEST(Layering, OnlyThePlatformLayerSeesTheMediaAndPictureLibraries)
{
    const fs::path platform = fs::canonical(kSourceDir / "src/platform");
    std::map<fs::path, std::string> known;
    std::vector<std::string> offenders;
    for (const char* root : {"src", "bench", "tools"})
        for (const fs::directory_entry& entry : fs::recursive_directory_iterator(kSourceDir / root)) {
            const fs::path file = fs::canonical(entry.path());
            const std::string extension = file.extension().string();
            if (extension != ".cpp" && extension != ".h")
                continue;
            if (file.string().starts_with(platform.string() + '/'))
                continue;
            const std::string chain = LibraryChain(file, known);
            if (!chain.empty())
                offenders.push_back(fs::relative(file, kSourceDir).string() + ": " + chain);
        }
    EXPECT_THAT(offenders, ::testing::IsEmpty());
}

QStringList NeededLibraries(const QString& program)
{
    QProcess readelf;
    readelf.start(QStringLiteral(READELF_PROGRAM), {QStringLiteral("-d"), program});
    readelf.waitForFinished(-1);
    static const QRegularExpression kNeeded(QStringLiteral(R"(\(NEEDED\).*\[(.+)\])"));
    QStringList needed;
    for (const QString& line : QString::fromLocal8Bit(readelf.readAllStandardOutput()).split(u'\n')) {
        const QRegularExpressionMatch match = kNeeded.match(line);
        if (match.hasMatch())
            needed.append(match.captured(1));
    }
    return needed;
}

TEST(Layering, TheCommandLinksNoGuiOrPlayerLibrary)
{
    const QStringList needed = NeededLibraries(QStringLiteral(EXTRACT_TOOL));
    ASSERT_TRUE(needed.contains(QStringLiteral("libQt6Core.so.6"))) << needed.join(u' ').toStdString();
    static const QRegularExpression kGui(
        QStringLiteral(R"(^lib(Qt6(Gui|Widgets|OpenGL\w*)|X11|xcb|GL|EGL|wayland-\w+|mpv)\.so)"));
    EXPECT_EQ(needed.filter(kGui).join(u' ').toStdString(), "") << needed.join(u' ').toStdString();
}

} // namespace
