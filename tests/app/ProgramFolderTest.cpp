// Which folder the program keeps its files in, the --dir option that names one, and the
// installed files it falls back on.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "start/CommandLine.h"
#include "start/ProgramFolder.h"
#include "support/TempDir.h"

namespace tolvane {
namespace {

using Kind = ProgramFolderChoice::Kind;

ProgramFolderFacts Facts() {
  ProgramFolderFacts facts;
  facts.executable = "/opt/tolvane/tolvane";
  facts.home = "/home/u";
  return facts;
}

TEST(ProgramFolderTest, PortableCopiesKeepTheirFilesBesideThemselves) {
  ProgramFolderFacts facts = Facts();
  facts.besideWritable = true;
  EXPECT_EQ(ChooseProgramFolder(facts).folder, "/opt/tolvane");
  EXPECT_EQ(ChooseProgramFolder(facts).kind, Kind::BesideExecutable);

  // Settings carried over keep working where the program cannot write, even in /usr/bin.
  facts.besideWritable = false;
  facts.besideHoldsSettings = true;
  facts.besideIsSystemFolder = true;
  EXPECT_EQ(ChooseProgramFolder(facts).folder, "/opt/tolvane");
}

TEST(ProgramFolderTest, InstalledCopiesUseTheConfigurationFolder) {
  ProgramFolderFacts facts = Facts();
  EXPECT_EQ(ChooseProgramFolder(facts).folder, "/home/u/.config/tolvane");
  EXPECT_EQ(ChooseProgramFolder(facts).kind, Kind::ConfigFolder);
  // root may write to /usr/bin, which is still no place for settings.
  facts.besideWritable = facts.besideIsSystemFolder = true;
  EXPECT_EQ(ChooseProgramFolder(facts).folder, "/home/u/.config/tolvane");
  facts.xdgConfigHome = "/xdg/conf/";
  EXPECT_EQ(ChooseProgramFolder(facts).folder, "/xdg/conf/tolvane");
  facts.xdgConfigHome = "relative/conf";  // not absolute: ignored
  EXPECT_EQ(ChooseProgramFolder(facts).folder, "/home/u/.config/tolvane");
  facts.xdgConfigHome = facts.home = "";
  EXPECT_EQ(ChooseProgramFolder(facts).folder, "/opt/tolvane");
}

TEST(ProgramFolderTest, GivenFolderWinsAndAutostartRemembersIt) {
  ProgramFolderFacts facts = Facts();
  facts.givenFolder = "/srv/site/";
  const ProgramFolderChoice choice = ChooseProgramFolder(facts);
  EXPECT_EQ(choice.kind, Kind::Given);
  EXPECT_EQ(choice.folder, "/srv/site");
  EXPECT_EQ(choice.automaticFolder, "/home/u/.config/tolvane");

  AppSettings settings;
  UseProgramFolder(settings, facts, choice);
  EXPECT_EQ(settings.iniPath, "/srv/site/kestra.ini");
  EXPECT_EQ(settings.place.folderArgument, "/srv/site");
  EXPECT_EQ(settings.place.configHome, "/home/u/.config");
  // Naming the folder the program would choose anyway needs no --dir next time.
  facts.givenFolder = "/home/u/.config/tolvane";
  UseProgramFolder(settings, facts, ChooseProgramFolder(facts));
  EXPECT_EQ(settings.place.folderArgument, "");
}

TEST(ProgramFolderTest, ConfigurationFolderIsMadeForItsOwnerOnly) {
  test::TempDir home;
  ProgramFolderChoice choice{Kind::ConfigFolder, home / ".config/tolvane", ""};
  EXPECT_EQ(PrepareChosenFolder(choice), "");
  struct stat st {};
  ASSERT_EQ(::stat(choice.folder.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);
  EXPECT_EQ(PrepareChosenFolder(choice), "");  // already there

  home.Write("file", "x");
  choice.folder = home / "file";
  EXPECT_NE(PrepareChosenFolder(choice), "");
}

TEST(ProgramFolderTest, ClockCheckFileComesFromTheDataFolderUnlessBesideTheSettings) {
  test::TempDir prefix;
  prefix.Write("bin/tolvane", "");
  prefix.Write("share/tolvane/tolvanetimetest.txt", "installed");
  EXPECT_EQ(InstalledDataFolder(prefix / "bin/tolvane"), prefix / "share/tolvane");

  AppSettings settings;
  settings.exeFolder = prefix / "config";
  settings.place.dataFolder = InstalledDataFolder(prefix / "bin/tolvane");
  EXPECT_EQ(ProgramOrDataFile(settings, "tolvanetimetest.txt"),
            settings.place.dataFolder + "/tolvanetimetest.txt");
  prefix.Write("config/tolvanetimetest.txt", "own");
  EXPECT_EQ(ProgramOrDataFile(settings, "tolvanetimetest.txt"),
            prefix / "config/tolvanetimetest.txt");
}

TEST(ProgramFolderTest, DirOptionGoesWithTheWindowAndTheCommandLine) {
  using Action = CommandLineRequest::Action;
  CommandLineRequest window = ParseCommandLine({"tolvane", "--dir", "/srv/site"});
  EXPECT_EQ(window.action, Action::Window);
  EXPECT_EQ(window.folder, "/srv/site");
  EXPECT_EQ(window.error, "");

  CommandLineRequest upload = ParseCommandLine({"tolvane", "--dir=/srv/a", "--upload", "web"});
  EXPECT_EQ(upload.action, Action::Upload);
  EXPECT_EQ(upload.folder, "/srv/a");
  EXPECT_EQ(upload.listName, "web");

  CommandLineRequest missing = ParseCommandLine({"tolvane", "--dir"});
  EXPECT_EQ(missing.action, Action::Help);
  EXPECT_NE(missing.error, "");
}

}  // namespace
}  // namespace tolvane
