// Writes that put a file in place only when it is whole: unguessable temporary names that never
// follow a planted link, the sweep of what a killed write left, what a replaced file keeps,
// new-only files, a full disk and a kill in the middle of a write.

#include "core/atomic_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "core/temporary_file.h"
#include "support/hostile_files.h"
#include "support/session_fixture.h"

namespace talvor {
namespace {

using testing::TemporaryDirectory;
namespace fs = std::filesystem;

std::string Contents(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<std::string> Names(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

bool WriteAndCommit(const fs::path& file, const std::string& text) {
    AtomicFile out(file);
    return out.Write(text.data(), text.size()) && out.Commit();
}

struct stat StatusOf(const fs::path& file) {
    struct stat status {};
    EXPECT_EQ(::lstat(file.c_str(), &status), 0) << file;
    return status;
}

TEST(TemporaryFileTest, NamesFollowOnePatternAndCannotBeGuessed) {
    TemporaryDirectory folder;
    const auto target = folder.Path() / "IMG1.FIT";
    auto first = CreateTemporaryFor(target);
    auto second = CreateTemporaryFor(target);
    ASSERT_TRUE(first && second);
    EXPECT_NE(first->path, second->path);
    for (const auto* made : {&*first, &*second}) {
        const std::string name = made->path.filename().string();
        EXPECT_TRUE(IsTemporaryNameOf(name, "IMG1.FIT")) << name;
        EXPECT_EQ(name.find(std::to_string(::getpid())), std::string::npos) << name;
        ::close(made->descriptor);
    }
    EXPECT_FALSE(IsTemporaryNameOf("IMG1.FIT.tmp-ABCDEFG", "IMG1.FIT"));     // one short
    EXPECT_FALSE(IsTemporaryNameOf("IMG1.FIT.tmp-ABCDEFG!", "IMG1.FIT"));    // not a letter
    EXPECT_FALSE(IsTemporaryNameOf("IMG11.FIT.tmp-ABCDEFGH", "IMG1.FIT"));   // another file's
    EXPECT_FALSE(IsTemporaryNameOf("IMG1.FIT.tmp-ABCDEFGH.x", "IMG1.FIT"));  // longer
    EXPECT_TRUE(IsTemporaryNameOf("IMG1.FIT.tmp-aZ09bY18", "IMG1.FIT"));
}

TEST(AtomicFileTest, ALinkPlantedAtTheOldPredictableNameRedirectsNothing) {
    TemporaryDirectory folder;
    const auto victim = folder.Path() / "victim";
    std::ofstream(victim) << "precious";
    const auto target = folder.Path() / "frame.fit";
    fs::create_symlink(victim, folder.Path() / ("frame.fit.tmp-" + std::to_string(::getpid())));
    ASSERT_TRUE(WriteAndCommit(target, "frame"));
    EXPECT_EQ(Contents(victim), "precious");
    EXPECT_EQ(Contents(target), "frame");
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(target)));
}

TEST(AtomicFileTest, TheNextWriteSweepsOnlyItsOwnStaleTemporaries) {
    TemporaryDirectory folder;
    const fs::path dir = folder.Path();
    const auto outside = dir / "outside";
    std::ofstream(outside) << "outside";
    std::ofstream(dir / "frame.fit.tmp-Stale001") << "left by a kill";
    std::ofstream(dir / "frame.fit.tmp-Short01") << "not our pattern";  // seven letters
    std::ofstream(dir / "other.fit.tmp-Stale002") << "another name's";
    std::ofstream(dir / "notes.txt") << "the user's";
    fs::create_symlink(outside, dir / "frame.fit.tmp-Linked01");
    fs::create_directory(dir / "frame.fit.tmp-Folder01");
    ::mkfifo((dir / "frame.fit.tmp-Fifo0001").c_str(), 0666);
    std::ofstream(dir / "frame.fit.tmp-Foreign1") << "another user's";
    const bool root = ::geteuid() == 0;
    if (root) {
        ASSERT_EQ(::chown((dir / "frame.fit.tmp-Foreign1").c_str(), 4321, 4321), 0);
    }
    // A write of the same name in progress holds its lock and keeps its file.
    AtomicFile live(dir / "frame.fit");
    ASSERT_TRUE(live.Write("live", 4));

    ASSERT_TRUE(WriteAndCommit(dir / "frame.fit", "new"));
    std::vector<std::string> expected = {"frame.fit",
                                         "frame.fit.tmp-Fifo0001",
                                         "frame.fit.tmp-Folder01",
                                         "frame.fit.tmp-Linked01",
                                         "frame.fit.tmp-Short01",
                                         "notes.txt",
                                         "other.fit.tmp-Stale002",
                                         "outside"};
    if (root) {
        expected.insert(expected.begin() + 3, "frame.fit.tmp-Foreign1");
    }
    std::vector<std::string> names = Names(dir);
    // The live write's temporary file is still there, under a name of the pattern.
    const auto liveName = std::find_if(names.begin(), names.end(), [&](const std::string& n) {
        return std::find(expected.begin(), expected.end(), n) == expected.end();
    });
    ASSERT_NE(liveName, names.end());
    EXPECT_TRUE(IsTemporaryNameOf(*liveName, "frame.fit"));
    names.erase(liveName);
    EXPECT_EQ(names, expected);
    EXPECT_EQ(Contents(outside), "outside");
    ASSERT_TRUE(live.Commit());
    EXPECT_EQ(Contents(dir / "frame.fit"), "live");
}

TEST(AtomicFileTest, AKilledWriteLeavesTheOldFileAndItsLeftoverGoesWithTheNextWrite) {
    TemporaryDirectory folder;
    const auto target = folder.Path() / "talvor.ini";
    std::ofstream(target) << "old settings";
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        AtomicFile out(target);
        const std::string half(4096, 'x');
        [[maybe_unused]] const bool written = out.Write(half.data(), half.size());
        ::raise(SIGKILL);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(Contents(target), "old settings");
    ASSERT_EQ(Names(folder.Path()).size(), 2u);  // the file and the leftover

    ASSERT_TRUE(WriteAndCommit(target, "new settings"));
    EXPECT_EQ(Names(folder.Path()), std::vector<std::string>{"talvor.ini"});
    EXPECT_EQ(Contents(target), "new settings");
}

TEST(AtomicFileTest, AReplacedFileKeepsItsModeAndOwner) {
    TemporaryDirectory folder;
    const auto target = folder.Path() / "dark.fit";
    std::ofstream(target) << "old";
    ASSERT_EQ(::chmod(target.c_str(), 0640), 0);
    const bool root = ::geteuid() == 0;
    if (root) {
        ASSERT_EQ(::chown(target.c_str(), 1234, 5678), 0);
    }
    ASSERT_TRUE(WriteAndCommit(target, "new"));
    const struct stat after = StatusOf(target);
    EXPECT_EQ(after.st_mode & 07777, 0640u);
    if (root) {
        EXPECT_EQ(after.st_uid, 1234u);
        EXPECT_EQ(after.st_gid, 5678u);
    }
    EXPECT_EQ(Contents(target), "new");

    // A fresh file gets the usual read and write permission, less the umask.
    const mode_t mask = ::umask(022);
    ASSERT_TRUE(WriteAndCommit(folder.Path() / "fresh.fit", "x"));
    ::umask(mask);
    EXPECT_EQ(StatusOf(folder.Path() / "fresh.fit").st_mode & 07777, 0644u);
}

TEST(AtomicFileTest, AHardLinkedFileIsRewrittenSoEveryLinkSeesTheNewContent) {
    TemporaryDirectory folder;
    const auto target = folder.Path() / "flat.def";
    const auto archived = folder.Path() / "flat-2026-03.fit";
    std::ofstream(target) << "old flat";
    fs::create_hard_link(target, archived);
    const ino_t inode = StatusOf(target).st_ino;
    ASSERT_TRUE(WriteAndCommit(target, "a new, longer flat field"));
    EXPECT_EQ(Contents(archived), "a new, longer flat field");
    EXPECT_EQ(StatusOf(target).st_ino, inode);
    ASSERT_TRUE(WriteAndCommit(target, "short"));
    EXPECT_EQ(Contents(archived), "short");
    EXPECT_EQ(Names(folder.Path()), (std::vector<std::string>{"flat-2026-03.fit", "flat.def"}));
}

TEST(AtomicFileTest, ADirectoryInThePlaceOfTheFileIsNotReplaced) {
    TemporaryDirectory folder;
    const auto target = folder.Path() / "out.fit";
    fs::create_directory(target);
    std::ofstream(target / "inside") << "kept";
    EXPECT_FALSE(WriteAndCommit(target, "frame"));
    EXPECT_EQ(Contents(target / "inside"), "kept");
    EXPECT_EQ(Names(folder.Path()), std::vector<std::string>{"out.fit"});
}

TEST(AtomicFileTest, AFullDiskFailsTheWriteAndLeavesTheOldFileAndItsLinksWhole) {
    TemporaryDirectory folder;
    testing::TinyTmpfs disk(folder.Path() / "disk", 64 * 1024);
    if (!disk.Mounted()) {
        GTEST_SKIP() << disk.Reason();
    }
    const auto target = disk.Path() / "IMG1.FIT";
    const std::string old(20000, 'o');
    std::ofstream(target) << old;
    fs::create_hard_link(target, disk.Path() / "linked.fit");
    const std::string frame(303040, 'n');
    EXPECT_FALSE(WriteAndCommit(target, frame));
    EXPECT_EQ(Contents(target), old);
    EXPECT_EQ(Contents(disk.Path() / "linked.fit"), old);
    EXPECT_EQ(Names(disk.Path()), (std::vector<std::string>{"IMG1.FIT", "linked.fit"}));
}

TEST(AtomicFileTest, ALinkedFileWithoutRoomToGrowInPlaceStillGetsTheNewContent) {
    TemporaryDirectory folder;
    // Room for the old file and the finished new one, not for the old one to grow as well.
    testing::TinyTmpfs disk(folder.Path() / "disk", 40 * 4096);
    if (!disk.Mounted()) {
        GTEST_SKIP() << disk.Reason();
    }
    const auto target = disk.Path() / "dark.def";
    std::ofstream(target) << std::string(16 * 4096, 'o');
    fs::create_hard_link(target, disk.Path() / "linked.fit");
    const std::string frame(22 * 4096, 'n');
    ASSERT_TRUE(WriteAndCommit(target, frame));
    EXPECT_EQ(Contents(target), frame);
    EXPECT_EQ(Contents(disk.Path() / "linked.fit"), std::string(16 * 4096, 'o'));
}

TEST(AtomicFileTest, CommitAsNewNeverReplacesAnEntryAndKeepsTheContentForAnotherName) {
    TemporaryDirectory folder;
    const fs::path dir = folder.Path();
    std::ofstream(dir / "IMG1.FIT") << "earlier night";
    fs::create_symlink(dir / "nowhere" / "x", dir / "IMG2.FIT");  // dangling
    AtomicFile out(dir / "IMG1.FIT");
    ASSERT_TRUE(out.Write("frame", 5));
    EXPECT_EQ(out.CommitAsNew(dir / "IMG1.FIT"), AtomicFile::NewFileResult::NameTaken);
    EXPECT_EQ(out.CommitAsNew(dir / "IMG2.FIT"), AtomicFile::NewFileResult::NameTaken);
    EXPECT_EQ(out.CommitAsNew(dir / "IMG3.FIT"), AtomicFile::NewFileResult::Created);
    EXPECT_EQ(Contents(dir / "IMG1.FIT"), "earlier night");
    EXPECT_FALSE(fs::exists(dir / "nowhere"));
    EXPECT_EQ(Contents(dir / "IMG3.FIT"), "frame");
    EXPECT_EQ(Names(dir), (std::vector<std::string>{"IMG1.FIT", "IMG2.FIT", "IMG3.FIT"}));
}

}  // namespace
}  // namespace talvor
