// SPDX-License-Identifier: GPL-3.0-or-later
// Reads below a root folder: links followed inside the root only, bounded
// reads, and the first line of attribute files.
#include "disks/platform/linux/root_folder.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <thread>
#include <unordered_set>

#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

class RootFolderTest : public ::testing::Test {
  protected:
    QTemporaryDir dir;
    fs::path root{dir.path().toStdString()};
    RootFolder folder{root};

    void write(const std::string& relative, const std::string& text) const {
        fs::create_directories((root / relative).parent_path());
        std::ofstream(root / relative, std::ios::binary) << text;
    }
    void link(const std::string& relative, const std::string& target) const {
        fs::create_directories((root / relative).parent_path());
        fs::create_symlink(target, root / relative);
    }
};

TEST_F(RootFolderTest, FollowsRelativeAndAbsoluteLinksInsideTheRoot) {
    write("sys/devices/pci/block/sda/sda1/partition", "1\n");
    link("sys/class/block/sda1", "../../devices/pci/block/sda/sda1");
    link("sys/dev/block/8:1", "/sys/class/block/sda1");  // absolute: taken below the root
    link("sys/block/sda", "../devices/./pci//block/sda/");
    const fs::path partition = root / "sys/devices/pci/block/sda/sda1";
    EXPECT_EQ(folder.resolve(root / "sys/class/block/sda1"), partition);
    EXPECT_EQ(folder.resolve(root / "sys/dev/block/8:1"), partition);
    EXPECT_EQ(folder.resolve(root / "sys/block/sda"), root / "sys/devices/pci/block/sda/");
    EXPECT_EQ(folder.resolve(partition), partition);  // not a link: as given
    EXPECT_EQ(folder.machinePath(*folder.resolve(root / "sys/dev/block/8:1")),
              "/sys/devices/pci/block/sda/sda1");
}

TEST_F(RootFolderTest, PlacesKnownToBeRealAreNotAskedAgain) {
    write("sys/devices/pci/block/sda/dev", "8:0\n");
    link("sys/class/block/sda", "../../devices/pci/block/sda");
    std::unordered_set<std::string> real;
    const std::string folderText = (root / "sys/devices/pci/block/sda").string();
    EXPECT_EQ(folder.resolveText((root / "sys/class/block/sda").string(), &real), folderText);
    EXPECT_EQ(real, std::unordered_set<std::string>{folderText});
    // What the memo holds is taken as it is, even when gone since.
    fs::remove_all(root / "sys/devices");
    EXPECT_EQ(folder.resolveText((root / "sys/class/block/sda").string(), &real), folderText);
    EXPECT_FALSE(folder.resolveText((root / "sys/class/block/sda").string()));
}

TEST_F(RootFolderTest, DanglingLoopingAndEscapingLinksResolveToNothing) {
    write("sys/devices/x/dev", "8:0\n");
    link("sys/class/block/gone", "../../devices/nowhere");
    link("sys/class/block/a", "b");
    link("sys/class/block/b", "a");
    link("sys/class/block/out", "../../../../../../../../../../etc");
    link("sys/class/block/beside", "../../../../" + root.filename().string() + "-other/sys");
    EXPECT_FALSE(folder.resolve(root / "sys/class/block/gone"));
    EXPECT_FALSE(folder.resolve(root / "sys/class/block/a"));
    EXPECT_FALSE(folder.resolve(root / "sys/class/block/out"));
    EXPECT_FALSE(folder.resolve(root / "sys/class/block/beside"));
    EXPECT_FALSE(folder.resolve(root / "sys/class/block/missing"));
    EXPECT_FALSE(folder.resolve(root / "sys/devices/x/dev/below-a-file"));
}

TEST_F(RootFolderTest, FollowsAChainOfSixteenLinksButNotSeventeen) {
    write("target", "x");
    link("l0", "target");
    for (int i = 1; i <= 16; ++i) {
        link("l" + std::to_string(i), "l" + std::to_string(i - 1));
    }
    EXPECT_EQ(folder.resolve(root / "l15"), root / "target");
    EXPECT_FALSE(folder.resolve(root / "l16"));
}

TEST_F(RootFolderTest, ReadLineTakesTheTrimmedFirstLine) {
    write("one", " \t1\r\n2\n");
    write("bare", "no newline ");
    write("empty", "");
    write("long", std::string(5000, 'x') + "\nrest\n");
    write("late", std::string(4000, 'y') + std::string(200, ' ') + "z\nrest\n");
    EXPECT_EQ(RootFolder::readLine(root / "one"), "1");
    EXPECT_EQ(RootFolder::readLine(root / "bare"), "no newline");
    EXPECT_EQ(RootFolder::readLine(root / "empty"), "");
    EXPECT_EQ(RootFolder::readLine(root / "long"), std::string(4096, 'x'));  // bounded
    EXPECT_EQ(RootFolder::readLine(root / "late"), std::string(4000, 'y'));
    EXPECT_FALSE(RootFolder::readLine(root / "missing"));
    EXPECT_FALSE(RootFolder::readLine(root));  // a folder cannot be read
}

TEST_F(RootFolderTest, ReadIsBoundedAndSaysSo) {
    write("big", std::string(10000, 'b'));
    const auto whole = RootFolder::read(root / "big", 10000);
    ASSERT_TRUE(whole);
    EXPECT_EQ(whole->bytes.size(), 10000u);
    EXPECT_FALSE(whole->truncated);
    const auto cut = RootFolder::read(root / "big", 9000);
    ASSERT_TRUE(cut);
    EXPECT_EQ(cut->bytes, std::string(9000, 'b'));
    EXPECT_TRUE(cut->truncated);
    // A file longer than one read buffer, and one exactly as long, are read whole.
    write("exact", std::string(8192, 'e'));
    for (const char* name : {"big", "exact"}) {
        const auto regular = RootFolder::readRegularFile((root / name).string(), 20000);
        ASSERT_TRUE(regular) << name;
        EXPECT_EQ(regular->bytes, RootFolder::read(root / name, 20000)->bytes) << name;
    }
    EXPECT_EQ(RootFolder::readRegularFile((root / "big").string(), 9000)->bytes.size(), 9000u);
    EXPECT_FALSE(RootFolder::readRegularFile((root / "missing").string(), 100));
}

// A FIFO or a device in a recorded machine is no attribute: refused at
// once instead of waiting for a writer. The reads run in a thread with a
// bound, so a regression fails here instead of hanging the suite.
TEST_F(RootFolderTest, OnlyRegularFilesAreRead) {
    fs::create_directories(root / "sys/block/sda");
    ASSERT_EQ(::mkfifo((root / "sys/block/sda/size").c_str(), 0600), 0);
    write("sys/block/sda/removable", "0\n");
    struct Outcome {
        std::atomic<bool> done{false};
        bool fifoRefused = false;
        bool regularRead = false;
    };
    auto outcome = std::make_shared<Outcome>();
    const std::string fifo = (root / "sys/block/sda/size").string();
    const std::string regular = (root / "sys/block/sda/removable").string();
    std::thread([outcome, fifo, regular] {
        outcome->fifoRefused = !RootFolder::readLine(fifo) && !RootFolder::read(fifo, 100) &&
                               !RootFolder::readRegularFile(fifo, 100) &&
                               !RootFolder::read(std::string("/dev/null"), 100);
        outcome->regularRead = RootFolder::readLine(regular) == std::optional<std::string>("0");
        outcome->done = true;
    }).detach();
    for (int waited = 0; waited < 200 && !outcome->done; ++waited) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    ASSERT_TRUE(outcome->done) << "a read of a FIFO blocked";
    EXPECT_TRUE(outcome->fifoRefused);
    EXPECT_TRUE(outcome->regularRead);
}

TEST(RootFolderPaths, LexicallyNormalAgreesWithTheStandardLibrary) {
    for (const char* path :
         {"",
          "/",
          "//",
          ".",
          "..",
          "./",
          "../",
          "a",
          "a/",
          "a/.",
          "a/./",
          "a/..",
          "a/../",
          "/a/b/..",
          "/a/b/../",
          "/a/./b/.",
          "/../a",
          "/..",
          "/../..",
          "../..",
          "../a/..",
          "a/../..",
          "a/./..",
          "/a/./..",
          "//a//b//",
          "a/b/../../..",
          "/x/y/../../../z/./",
          "../../devices/pci0000:00/0000:00:17.0/ata1/host0/target0:0:0/0:0:0:0/block/sda"}) {
        EXPECT_EQ(RootFolder::lexicallyNormal(path), fs::path(path).lexically_normal().string())
            << '"' << path << '"';
    }
    // Every path of up to five pieces from a small alphabet.
    const std::vector<std::string> pieces = {"/", "a", "b", ".", "..", "//"};
    std::vector<std::string> paths = {""};
    for (int length = 0; length < 5; ++length) {
        std::vector<std::string> longer;
        for (const std::string& path : paths) {
            for (const std::string& piece : pieces) {
                const bool needsSeparator =
                    !path.empty() && path.back() != '/' && piece.front() != '/';
                longer.push_back(path + (needsSeparator ? "/" : "") + piece);
            }
        }
        for (const std::string& path : longer) {
            ASSERT_EQ(RootFolder::lexicallyNormal(path), fs::path(path).lexically_normal().string())
                << '"' << path << '"';
        }
        paths = std::move(longer);
    }
}

}  // namespace
