#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "platform/TextCodec.h"
#include "settings/PathHelpers.h"
#include "tests/support/FileText.h"
#include "tests/support/TempFolder.h"

namespace {

struct SplitCase {
    std::wstring path, folder, fileName, baseName;
};

TEST(PathHelpers, SplitsAtEitherSeparator) {
    const SplitCase cases[] = {
        {L"C:\\a\\b.vob", L"C:\\a\\", L"b.vob", L"b"},
        {L"b.vob", L"", L"b.vob", L"b"},
        {L"C:/a/b", L"C:/a/", L"b", L"b"},
        {L"C:\\x.y\\movie", L"C:\\x.y\\", L"movie", L"movie"},
        {L"C:\\a\\movie.part1.avi", L"C:\\a\\", L"movie.part1.avi", L"movie.part1"},
        {L"/home/u/Vid\u00E9os/\u00C9t\u00E9.avi", L"/home/u/Vid\u00E9os/", L"\u00C9t\u00E9.avi", L"\u00C9t\u00E9"},
        {L"/a\\b/c", L"/a\\b/", L"c", L"c"},
        {L"/folder/", L"/folder/", L"", L""},
        {L"", L"", L"", L""},
        {L".hidden", L"", L".hidden", L""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FolderOf(c.path), c.folder) << platform::Narrow(c.path);
        EXPECT_EQ(FileNameOf(c.path), c.fileName) << platform::Narrow(c.path);
        EXPECT_EQ(BaseNameOf(c.path), c.baseName) << platform::Narrow(c.path);
    }
}

TEST(PathHelpers, TrailingSeparatorAddsAndRemovesExactlyOne) {
    const std::pair<std::wstring, std::wstring> with[] = {
        {L"C:", L"C:/"}, {L"", L""}, {L"/a/", L"/a/"}, {L"/a", L"/a/"}, {L"/", L"/"}};
    for (const auto& [in, out] : with) EXPECT_EQ(WithTrailingBackslash(in), out) << platform::Narrow(in);
    const std::pair<std::wstring, std::wstring> without[] = {
        {L"/a/", L"/a"}, {L"/a//", L"/a/"}, {L"/a", L"/a"}, {L"", L""}, {L"/", L""}};
    for (const auto& [in, out] : without) EXPECT_EQ(WithoutTrailingBackslash(in), out) << platform::Narrow(in);
}

TEST(PathHelpers, CreateFoldersMakesTheWholeChainAndToleratesExistingOnes) {
    TempFolder temp;
    const std::string old = std::filesystem::current_path();
    ASSERT_EQ(chdir(temp.path().c_str()), 0);
    CreateFolders(L"a/b/c");
    CreateFolders(L"a/b/c");
    const bool relativeOk = std::filesystem::is_directory(temp / "a/b/c");
    ASSERT_EQ(chdir(old.c_str()), 0);
    EXPECT_TRUE(relativeOk);

    const std::wstring deep = temp.wpath() + L"/\u0412\u0438\u0434\u0435\u043E/x/y/";
    CreateFolders(deep);
    EXPECT_TRUE(PathExists(temp.wpath() + L"/\u0412\u0438\u0434\u0435\u043E/x/y"));
}

TEST(PathHelpers, DeleteFolderRemovesTreeAndIgnoresMissingPath) {
    TempFolder temp;
    CreateFolders(platform::Widen(temp / "tree/sub"));
    WriteFileBytes(temp / "tree/sub/file", "data");
    WriteFileBytes(temp / "outside", "keep");
    std::filesystem::create_symlink(temp / "outside", temp / "tree/link");
    DeleteFolder(platform::Widen(temp / "tree"));
    EXPECT_FALSE(PathExists(platform::Widen(temp / "tree")));
    EXPECT_EQ(ReadFileBytes(temp / "outside"), "keep");  // a link inside is removed, not followed
    DeleteFolder(platform::Widen(temp / "missing"));
    EXPECT_FALSE(PathExists(platform::Widen(temp / "missing")));
}

TEST(PathHelpers, PathExistsSeesFilesFoldersAndDanglingLinks) {
    TempFolder temp;
    WriteFileBytes(temp / "f", "");
    std::filesystem::create_symlink(temp / "nowhere", temp / "dangling");
    EXPECT_TRUE(PathExists(platform::Widen(temp / "f")));
    EXPECT_TRUE(PathExists(temp.wpath()));
    EXPECT_TRUE(PathExists(platform::Widen(temp / "dangling")));
    EXPECT_FALSE(PathExists(platform::Widen(temp / "nowhere")));
    EXPECT_FALSE(PathExists(L""));
}

TEST(PathHelpers, FolderSizeSumsRegularFilesWithoutFollowingLinks) {
    TempFolder temp;
    CreateFolders(platform::Widen(temp / "d/sub"));
    WriteFileBytes(temp / "d/a", std::string(100, 'x'));
    WriteFileBytes(temp / "d/sub/b", std::string(23, 'y'));
    // A sparse file of 5,000,000,000 bytes takes no disk space but counts in full.
    const int fd = ::open((temp / "d/sub/big").c_str(), O_CREAT | O_WRONLY, 0600);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::ftruncate(fd, 5000000000LL), 0);
    ::close(fd);
    WriteFileBytes(temp / "elsewhere", std::string(1000, 'z'));
    std::filesystem::create_symlink(temp / "elsewhere", temp / "d/link");
    std::filesystem::create_directory_symlink(temp.path(), temp / "d/loop");

    EXPECT_EQ(FolderSize(platform::Widen(temp / "d")), 5000000123ULL);
    EXPECT_EQ(FolderSize(platform::Widen(temp / "d/")), 5000000123ULL);
    EXPECT_EQ(FolderSize(platform::Widen(temp / "none")), 0ULL);
}

TEST(PathHelpers, SpecialFoldersFollowXdg) {
    TempFolder temp;
    const std::string home = getenv("HOME");
    EXPECT_EQ(AppDataFolder(), platform::Widen(home + "/.config"));
    EXPECT_EQ(DocumentsFolder(), platform::Widen(home + "/Documents"));

    setenv("XDG_CONFIG_HOME", temp.path().c_str(), 1);
    WriteFileBytes(temp / "user-dirs.dirs", "# comment\nXDG_DESKTOP_DIR=\"$HOME/Desktop\"\nXDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\n");
    EXPECT_EQ(AppDataFolder(), temp.wpath());
    EXPECT_EQ(DocumentsFolder(), platform::Widen(home + "/Dokumente"));
    WriteFileBytes(temp / "user-dirs.dirs", "XDG_DOCUMENTS_DIR=\"/srv/docs/\"\n");
    EXPECT_EQ(DocumentsFolder(), L"/srv/docs");
    WriteFileBytes(temp / "user-dirs.dirs", "XDG_DOCUMENTS_DIR=\"$HOME/\"\n");
    EXPECT_EQ(DocumentsFolder(), platform::Widen(home + "/Documents"));
    setenv("XDG_CONFIG_HOME", "relative/ignored", 1);
    EXPECT_EQ(AppDataFolder(), platform::Widen(home + "/.config"));
    setenv("XDG_CONFIG_HOME", (home + "/.config").c_str(), 1);
}

}  // namespace
