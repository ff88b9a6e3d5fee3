// The walk from a registered folder tree's descriptor: which links it
// follows, where it ends, and what it refuses.
#include "store/confined_folder.h"

#include "store/io_error.h"
#include "store/record_file.h"
#include "store/safe_file.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

namespace fs = std::filesystem;
using namespace wirtello;
using namespace wirtello::test;

namespace {

const std::vector<std::uint8_t> kBytes{'a', 'b', 'c'};

struct Tree {
    TempFolder base{"prog/data/sub", "outside"};
    fs::path prog = trustFolderTree(base / "prog");
    fs::path outside = base / "outside";
};

// Where the walk ended, relative to the base folder ("prog/data/x.dat"), or
// "refused" for an IoError naming the path as given.
std::string placed(const Tree& tree, const fs::path& path)
{
    try {
        const PlacedName place = placeBeneath(path, "krok");
        const fs::path real = realFolderPath(place.folder) / place.name;
        return real.lexically_relative(fs::canonical(tree.base.path())).string();
    } catch (const IoError& error) {
        EXPECT_EQ(error.operation(), "krok");
        EXPECT_EQ(error.path(), path);
        return "refused";
    }
}

} // namespace

TEST(ConfinedFolder, TheWalkFollowsLinksOnlyWhileTheyStayInTheTree)
{
    struct Row {
        const char* name;
        std::vector<std::pair<std::string, std::string>> links; // link below "prog" -> target ("@" = base folder)
        std::string path;                                       // below "prog"
        std::string expected;
    };
    const Row rows[] = {
        {"plain file", {}, "data/x.dat", "prog/data/x.dat"},
        {"new file", {}, "data/new.dat", "prog/data/new.dat"},
        {"folder link inside kept", {{"d", "data"}}, "d/x.dat", "prog/data/x.dat"},
        {"file link inside kept", {{"r.dat", "data/x.dat"}}, "r.dat", "prog/data/x.dat"},
        {"absolute link inside", {{"d", "@/prog/data/sub"}}, "d/x.dat", "prog/data/sub/x.dat"},
        {"link out refused", {{"d", "../outside"}}, "d/x.dat", "refused"},
        {"absolute link out refused", {{"d", "@/outside"}}, "d/x.dat", "refused"},
        {"file link out refused", {{"r.dat", "@/outside/x.dat"}}, "r.dat", "refused"},
        {"'..' inside the tree", {{"data/sub/up", "../../data"}}, "data/sub/up/x.dat", "prog/data/x.dat"},
        {"'..' above the tree", {{"data/up", "../../prog/data"}}, "data/up/x.dat", "refused"},
        {"link in a link's folder", {{"d", "data"}, {"data/s", "sub"}}, "d/s/x.dat", "prog/data/sub/x.dat"},
        {"loop", {{"a", "b"}, {"b", "a"}}, "a/x.dat", "refused"},
        {"loop at the last name", {{"a.dat", "b.dat"}, {"b.dat", "a.dat"}}, "a.dat", "refused"},
        {"dangling last name inside", {{"r.dat", "data/new.dat"}}, "r.dat", "prog/data/new.dat"},
        {"dangling last name outside", {{"r.dat", "@/outside/new.dat"}}, "r.dat", "refused"},
        {"dangling folder link", {{"d", "gone"}}, "d/x.dat", "refused"},
        {"a file where a folder is expected", {}, "data/x.dat/y.dat", "refused"},
        {"a link to a file where a folder is expected", {{"d", "data/x.dat"}}, "d/y.dat", "refused"},
        {"a path that ends in a folder", {{"d", "data/sub/"}}, "d", "refused"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Tree tree;
        writeBytes(tree.prog / "data/x.dat", kBytes);
        writeBytes(tree.outside / "x.dat", kBytes);
        for (const auto& [link, to] : row.links)
            fs::create_symlink(to[0] == '@' ? tree.base.path().string() + to.substr(1) : to, tree.prog / link);
        EXPECT_EQ(placed(tree, tree.prog / row.path), row.expected);
    }
}

TEST(ConfinedFolder, FortyLinksAreFollowedAndOneMoreIsRefused)
{
    Tree tree;
    writeBytes(tree.prog / "data/x.dat", kBytes);
    fs::create_symlink("data/x.dat", tree.prog / "l0");
    for (int i = 1; i <= 40; ++i)
        fs::create_symlink("l" + std::to_string(i - 1), tree.prog / ("l" + std::to_string(i)));
    EXPECT_EQ(placed(tree, tree.prog / "l39"), "prog/data/x.dat");
    EXPECT_EQ(placed(tree, tree.prog / "l40"), "refused");
}

TEST(ConfinedFolder, MissingFoldersAreMadeOnlyInsideTheTree)
{
    Tree tree;
    fs::create_symlink("data/later", tree.prog / "inside");
    fs::create_symlink(tree.outside / "later", tree.prog / "out");
    EXPECT_TRUE(openFolderBeneath(tree.prog / "a/b", "krok", true).valid());
    EXPECT_TRUE(openFolderBeneath(tree.prog / "inside/c", "krok", true).valid());
    EXPECT_THROW(openFolderBeneath(tree.prog / "out/c", "krok", true), IoError);
    EXPECT_THROW(openFolderBeneath(tree.prog / "none", "krok"), IoError);
    EXPECT_TRUE(fs::is_directory(tree.prog / "a/b"));
    EXPECT_TRUE(fs::is_directory(tree.prog / "data/later/c"));
    EXPECT_TRUE(fs::is_empty(tree.outside));
    EXPECT_FALSE(fs::exists(tree.prog / "none"));
}

TEST(ConfinedFolder, AHeldFolderIsActedOnEvenWhenItsNameLeadsElsewhereByThen)
{
    Tree tree;
    const FileDescriptor held = openFolderBeneath(tree.prog / "data", "krok");
    fs::rename(tree.prog / "data", tree.prog / "moved");
    fs::create_symlink(tree.outside, tree.prog / "data");
    // A library that takes only a path writes where the check was made.
    writeBytes(heldFolderPath(held) / "lib.dat", kBytes);
    EXPECT_EQ(readBytes(tree.prog / "moved/lib.dat"), kBytes);
    EXPECT_TRUE(fs::is_empty(tree.outside));
}

TEST(ConfinedFolder, FilesAreOpenedAndCopiedFromTheHeldFolder)
{
    Tree tree;
    writeBytes(tree.prog / "data/x.dat", kBytes);
    writeBytes(tree.outside / "x.dat", kBytes);
    fs::create_symlink(tree.outside, tree.prog / "out");

    EXPECT_TRUE(openFileBeneath(tree.prog / "data/x.dat", O_RDONLY, 0, "krok").valid());
    EXPECT_FALSE(openFileBeneathIfExists(tree.prog / "data/none.dat", O_RDONLY, 0, "krok").valid());
    EXPECT_THROW(openFileBeneath(tree.prog / "data/none.dat", O_RDONLY, 0, "krok"), IoError);
    EXPECT_THROW(openFileBeneath(tree.prog / "out/x.dat", O_RDONLY, 0, "krok"), IoError);
    EXPECT_THROW(openFileBeneath(tree.prog / "out/new.dat", O_WRONLY | O_CREAT, 0644, "krok"), IoError);

    copyFileBeneath(tree.prog / "data/x.dat", tree.prog / "data/sub/copy.dat", 1024);
    EXPECT_EQ(readBytes(tree.prog / "data/sub/copy.dat"), kBytes);
    EXPECT_THROW(copyFileBeneath(tree.prog / "out/x.dat", tree.prog / "data/c2.dat", 1024), IoError);
    EXPECT_THROW(copyFileBeneath(tree.prog / "data/x.dat", tree.prog / "out/c3.dat", 1024), IoError);
    EXPECT_THROW(copyFileBeneath(tree.prog / "data/x.dat", tree.prog / "data/c4.dat", 2), IoError);
    EXPECT_EQ(std::vector<std::string>{"x.dat"}, [&] {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(tree.outside))
            names.push_back(entry.path().filename().string());
        return names;
    }());
    EXPECT_FALSE(fs::exists(tree.prog / "data/c2.dat"));
    EXPECT_FALSE(fs::exists(tree.prog / "data/c4.dat"));
}

TEST(ConfinedFolder, ATreeMadeAgainUnderItsNameIsReachedAgain)
{
    TempFolder base{"prog"};
    const fs::path prog = trustFolderTree(base / "prog");
    writeRecord(prog / "a.dat", kBytes);
    fs::remove_all(prog);
    fs::create_directories(prog);
    // Not registered again: the removed folder's descriptor is not used.
    writeRecord(prog / "b.dat", kBytes);
    EXPECT_EQ(readBytes(prog / "b.dat"), kBytes);
    fs::remove_all(prog);
    fs::create_directories(prog);
    trustFolderTree(prog);
    writeRecord(prog / "c.dat", kBytes);
    EXPECT_EQ(readRecord(prog / "c.dat", 3), kBytes);
}

TEST(ConfinedFolder, PathsOutsideEveryTreeAreReachedAsTheSystemResolvesThem)
{
    TempFolder base{"free", "elsewhere"};
    fs::create_symlink(base / "elsewhere", base / "free/link");
    writeRecord(base / "free/link/x.dat", kBytes);
    EXPECT_EQ(readBytes(base / "elsewhere/x.dat"), kBytes);
    EXPECT_EQ(confinedPath(base / "free/link/x.dat", "krok"), fs::canonical(base / "elsewhere/x.dat"));
}

TEST(ConfinedFolder, FilesAreRemovedOnlyInsideTheTreeAndLinksThemselvesNotTheirTargets)
{
    Tree tree;
    writeBytes(tree.prog / "data/x.dat", kBytes);
    writeBytes(tree.outside / "x.dat", kBytes);
    fs::create_symlink(tree.outside, tree.prog / "Admini");
    fs::create_symlink(tree.outside / "x.dat", tree.prog / "data/link.dat");
    const std::vector<std::pair<std::string, bool>> rows = {
        {"Admini/x.dat", false}, {"data/sub", false}, {"data/none.dat", false},
        {"data/link.dat", true}, {"data/x.dat", true},
    };
    for (const auto& [path, removed] : rows)
        EXPECT_EQ(removeFileBeneath(tree.prog / path), removed) << path;
    EXPECT_EQ(readBytes(tree.outside / "x.dat"), kBytes);
    EXPECT_TRUE(fs::is_directory(tree.prog / "data/sub"));
    EXPECT_FALSE(fs::exists(fs::symlink_status(tree.prog / "data/link.dat")));
    EXPECT_FALSE(fs::exists(tree.prog / "data/x.dat"));
}
