// What the listing run sends to the server: one listing per folder, directory changes only
// when the folder changes, and a fresh look-up for a file it has put itself.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <ctime>
#include <memory>

#include "transfer/FtpTestSupport.h"
#include "transfer/UploadRunRig.h"
#include "upload/ListedFolders.h"
#include "upload/PerFileFolders.h"
#include "upload/SafeUploader.h"
#include "upload/UploadStarter.h"

namespace tolvane {
namespace {

using Texts = std::vector<std::string>;

class ListedFoldersTest : public ::testing::Test, protected test::UploadRunRig {
 protected:
  // `count` files in each folder, on the server an hour newer (or older) than here; the list
  // takes them folder after folder in turn: a/0, b/0, c/0, a/1, ...
  void Tree(const Texts& folders, int count, bool newerHere = false) {
    int64_t now = time(nullptr);
    Texts lines;
    for (int i = 0; i < count; ++i) {
      for (const std::string& folder : folders) {
        std::string name = folder + "/f" + std::to_string(i) + ".txt";
        site.Write(name, "local");
        int64_t local = now - 7200 + (newerHere ? 7200 - 60 : 0);
        test::SetFileTime(site / name, local);
        server->files().Write(name, "server");
        server->SetMtime(name, now - 3600);
        lines.insert(lines.end(), {site / name, folder});
      }
    }
    List(lines);
  }

  void Run() {
    settings.connections = 1;  // the commands of one connection, in their order
    before = server->Commands().size();
    UploadFromButton(ctx, test::QuickOptions());
    ASSERT_TRUE(prompts.shown.empty());
  }

  // Commands of the last run starting with `prefix`.
  size_t Sent(const std::string& prefix) const {
    Texts commands = server->Commands();
    return static_cast<size_t>(std::count_if(commands.begin() + static_cast<long>(before),
                                             commands.end(),
                                             [&](auto& c) { return c.rfind(prefix, 0) == 0; }));
  }

  size_t before = 0;
};

TEST_F(ListedFoldersTest, CheckingListsEachFolderOnceByItsPathWithoutEnteringIt) {
  Serve();
  Tree({"a", "b", "c"}, 5);
  Run();
  EXPECT_EQ(Sent("MLSD /a"), 1u);
  EXPECT_EQ(Sent("MLSD"), 3u);
  EXPECT_EQ(Sent("MLST"), 0u);
  EXPECT_EQ(Sent("CWD"), 0u);
  EXPECT_EQ(Sent("STOR"), 0u);

  settings.serverfolder = "/";
  Tree({"a", "b"}, 2);  // two entries a folder are worth a listing
  Run();
  EXPECT_EQ(Sent("MLSD"), 2u);
  EXPECT_EQ(Sent("MLST"), 0u);

  Tree({"a", "b"}, 1);  // one is asked about by itself
  Run();
  EXPECT_EQ(Sent("MLSD"), 0u);
  EXPECT_EQ(Sent("MLST"), 2u);
}

TEST_F(ListedFoldersTest, FoldersAPathCannotNameAreEnteredAsBefore) {
  Serve();
  Tree({"a/b"}, 3);  // a relative path of two steps must be tried as the run would
  Run();
  EXPECT_EQ(Sent("CWD a/b"), 1u);
  EXPECT_EQ(Sent("MLSD"), 1u);
  EXPECT_EQ(Sent("MLSD /"), 0u);
}

TEST_F(ListedFoldersTest, AFileItPutIsLookedUpAfresh) {
  Serve();
  Tree({"a"}, 5, /*newerHere=*/true);
  List({site / "a/f0.txt", "a", site / "a/f1.txt", "a", site / "a/f2.txt", "a", site / "a/f3.txt",
        "a", site / "a/f0.txt", "a"});
  Run();
  EXPECT_EQ(Sent("STOR"), 4u);  // the server's copy of f0.txt is newer after the first put
  // The same listing tells of temporary files a killed run left: none is taken inside.
  EXPECT_EQ(Sent("MLSD /a"), 1u);
  EXPECT_EQ(Sent("MLSD"), 1u);
  EXPECT_EQ(Sent("MLST f0.txt"), 1u);
}

TEST_F(ListedFoldersTest, UncheckedRunsChangeDirectoryWhenTheFolderChanges) {
  Serve();
  settings.shift = 1;
  Tree({"a"}, 3);
  Run();
  EXPECT_EQ(Sent("STOR"), 3u);
  EXPECT_EQ(Sent("CWD"), 2u);
  EXPECT_EQ(Sent("MLSD"), 1u);  // only to find temporary files a killed run left behind
}

TEST_F(ListedFoldersTest, ListsOnlyWhereTheListingKeepsTheLookUpsConvention) {
  for (bool noMdtm : {false, true}) {
    test::FtpServerOptions o;
    o.noMlst = true;
    o.noMdtm = noMdtm;
    Serve(o);
    settings.clockCorrectionMinutes = noMdtm ? 540 : 0;  // this server lists UTC wall-clock times
    Tree({"a", "b"}, 4);
    Run();
    EXPECT_EQ(Sent("STOR"), 0u) << noMdtm;
    // MDTM tells UTC, LIST the server's wall clock: with MDTM every file is asked by MDTM.
    // Without it, the first look-up learns that and reads LIST itself; then one per folder.
    EXPECT_EQ(Sent("MDTM"), noMdtm ? 1u : 8u);
    // The first folder is tried by its path, which this server refuses: never again.
    EXPECT_EQ(Sent("LIST -a /"), noMdtm ? 1u : 0u);
    EXPECT_EQ(Sent("LIST"), noMdtm ? 4u : 0u);
  }
}

TEST(FtpClientListing, AnswersAsFindFileDoes) {
  for (bool noUtf8 : {false, true}) {
    test::FtpServer server({.noUtf8 = noUtf8});
    server.files().Write("a b.html", "1");
    server.SetMtime("a b.html", 1709633730);
    server.files().Write("日本語.txt", "2");
    server.files().Write("sub/x", "");
    FtpClient client(test::QuickOptions());
    test::ConnectOrFail(client, server);
    ASSERT_EQ(client.ListingWay(), FolderListingWay::Mlsd);
    std::optional<FtpFolderListing> listing = client.ListFolder();
    ASSERT_TRUE(listing);
    FolderAnswer spaced = client.FindInListing(*listing, "a b.html");
    EXPECT_EQ(spaced.kind, FolderAnswer::Kind::Found);
    EXPECT_EQ(spaced.time, client.FindFile("a b.html"));
    EXPECT_EQ(client.FindInListing(*listing, "日本語.txt").kind, FolderAnswer::Kind::Found);
    EXPECT_EQ(client.FindInListing(*listing, "sub").kind, FolderAnswer::Kind::Missing);
    // Names FindFile never finds: too long, or not to be written in the server's code page.
    EXPECT_EQ(client.FindInListing(*listing, std::string(260, 'a')).kind,
              FolderAnswer::Kind::Missing);
    EXPECT_EQ(client.FindInListing(*listing, "é.txt").kind,
              noUtf8 ? FolderAnswer::Kind::Missing : FolderAnswer::Kind::AskServer);
  }
}

}  // namespace
}  // namespace tolvane

namespace tolvane {
namespace {

// Listings can be tens of megabytes: one is kept only while a later entry still looks there.
TEST(ListedFoldersMemory, AListingGoesWhenNoLaterEntryLooksInItsFolder) {
  test::FtpServer server;
  for (const char* name : {"a/f.txt", "b/f.txt"}) server.files().Write(name, "x");
  FtpClient client(test::QuickOptions());
  test::ConnectOrFail(client, server);
  SafeUploader uploader(client, true, std::set<std::string>{});
  ListedFolders folders(client, uploader, {"a", "a", "a", "a", "b", "b", "b", "b"});
  for (const char* folder : {"a", "a", "a", "a", "b"}) {
    folders.Enter("", folder);
    EXPECT_EQ(folders.Find("f.txt").kind, RemoteLookup::Kind::Found);
  }
  EXPECT_EQ(folders.KeptListings(), 1u);  // b's; a's went with its last entry
}

// Both ways of finding files take a name of 260 characters or more as absent, asking nothing.
TEST(RemoteFolders, TakeNamesOf260CharactersOrMoreAsMissingWithoutAsking) {
  test::FtpServer server;
  std::string longest(251, 'a');  // 255 bytes, as long as a Linux file name gets
  longest += ".txt";
  server.files().Write(longest, "x");
  std::string japanese260;
  for (int i = 0; i < 260; ++i) japanese260 += "あ";  // characters, not bytes, count
  FtpClient client(test::QuickOptions());
  test::ConnectOrFail(client, server);
  SafeUploader uploader(client, false, std::set<std::string>{});
  PerFileFolders perFile(client, uploader);
  ListedFolders listed(client, uploader, {""});
  for (RemoteFolders* folders : std::vector<RemoteFolders*>{&perFile, &listed}) {
    folders->Enter("", "");
    EXPECT_EQ(folders->Find(longest).kind, RemoteLookup::Kind::Found);
    uint64_t before = client.CommandCount();
    EXPECT_EQ(folders->Find(std::string(259, 'b')), RemoteLookup::Missing());
    EXPECT_GT(client.CommandCount(), before);  // 259 characters are still asked for
    before = client.CommandCount();
    EXPECT_EQ(folders->Find(std::string(260, 'b')), RemoteLookup::Missing());
    EXPECT_EQ(folders->Find(japanese260), RemoteLookup::Missing());
    EXPECT_EQ(client.CommandCount(), before);
  }
}

}  // namespace
}  // namespace tolvane
