// The stored settings against a real store in a temporary home folder.
#include "settings_store.h"

#include <gtest/gtest.h>
#include <cstdlib>
#include <sys/stat.h>
#include <wx/init.h>

#include "test_support.h"

namespace {

// A temporary home and config folder for one test; the developer's own are never touched.
class SettingsStore : public ::testing::Test {
 protected:
  void SetUp() override {
    Save("HOME", m_home);
    Save("XDG_CONFIG_HOME", m_xdg);
    ::setenv("HOME", m_dir.path().c_str(), 1);
    ::unsetenv("XDG_CONFIG_HOME");
  }
  void TearDown() override {
    Restore("HOME", m_home);
    Restore("XDG_CONFIG_HOME", m_xdg);
  }
  std::string StorePath(const std::string& app = "Brindlemarque") const {
    return m_dir.path() + "/.config/Daoc/" + app + ".conf";
  }

  TempDir m_dir;

 private:
  static void Save(const char* name, std::string& slot) {
    const char* v = std::getenv(name);
    slot = v ? v : "\x01";
  }
  static void Restore(const char* name, const std::string& slot) {
    if (slot == "\x01")
      ::unsetenv(name);
    else
      ::setenv(name, slot.c_str(), 1);
  }
  std::string m_home, m_xdg;
};

JobSettings Loaded(const std::string& app = "Brindlemarque") {
  JobSettings job;
  job.templatePath = job.characterPath = "stale";
  job.quickbar = job.firstBar = job.lastBar = -99;
  job.options = 0xFF;
  LoadSettings(job, app);
  return job;
}

void ExpectDefaults(const JobSettings& job) {
  EXPECT_EQ(job.templatePath, "");
  EXPECT_EQ(job.characterPath, "");
  EXPECT_EQ(job.quickbar, 2);
  EXPECT_EQ(job.firstBar, 2);
  EXPECT_EQ(job.lastBar, 7);
  EXPECT_EQ(job.options, static_cast<std::uint32_t>(OPT_SPACER | OPT_CLEANUP | OPT_DROP_RUN));
}

}  // namespace

TEST_F(SettingsStore, FirstStartGivesTheDefaultsAndMakesTheLocation) {
  ExpectDefaults(Loaded());
  EXPECT_EQ(SettingsLocation("Brindlemarque"), StorePath());
  struct stat st;
  EXPECT_EQ(::stat((m_dir.path() + "/.config/Daoc").c_str(), &st), 0);
}

TEST_F(SettingsStore, SavesAllTenValuesWithMaskedFlags) {
  JobSettings job;
  job.templatePath = "/home/p/Vesko/Gr\xfcn \xe4rmel $HOME.vsk";  // Latin-1 bytes and a '$'
  job.characterPath = "/home/p/\xc3\xa9t\xc3\xa9/Morwen-4.ini";     // UTF-8 bytes
  job.quickbar = 3;
  job.firstBar = 3;
  job.lastBar = 8;
  job.options = OPT_QUIT | OPT_REVERSE;
  SaveSettings(job, "Brindlemarque");
  std::string text = ReadFile(StorePath());
  for (const char* line : {"qbar=3", "qbar_first=3", "qbar_last=8", "use_space=0", "quit=16", "reverse=2",
                           "cleanup=0", "dragged=0"})
    EXPECT_NE(text.find(line), std::string::npos) << line << "\n" << text;
  EXPECT_NE(text.find("[settings]"), std::string::npos);
  JobSettings back = Loaded();
  EXPECT_EQ(back.templatePath, job.templatePath);
  EXPECT_EQ(back.characterPath, job.characterPath);
  EXPECT_EQ(back.quickbar, 3);
  EXPECT_EQ(back.firstBar, 3);
  EXPECT_EQ(back.lastBar, 8);
  EXPECT_EQ(back.options, job.options);
}

TEST_F(SettingsStore, PathsAreReadableUtf8AndOtherBytesSurviveEscaped) {
  JobSettings job;
  job.templatePath = "/home/p/Vesko/R\xc3\xbcstung 100%.vsk";  // UTF-8
  job.characterPath = "/home/p/Gr\xfcn/Morwen-4.ini";           // Latin-1 bytes
  SaveSettings(job, "Brindlemarque");
  std::string text = ReadFile(StorePath());
  EXPECT_NE(text.find("sc_file=/home/p/Vesko/R\xc3\xbcstung 100%.vsk\n"), std::string::npos) << text;
  EXPECT_NE(text.find("out_file2=bytes:/home/p/Gr%FCn/Morwen-4.ini\n"), std::string::npos) << text;
  EXPECT_EQ(Loaded().templatePath, job.templatePath);
  EXPECT_EQ(Loaded().characterPath, job.characterPath);

  // Typed into the file by hand, and as earlier versions wrote a UTF-8 path.
  WriteFile(StorePath(), "[settings]\nsc_file=/home/p/R\xc3\xbcstung.vsk\n"
                         "out_file2=/home/p/\xc3\x83\xc2\xa9t\xc3\x83\xc2\xa9/Morwen-4.ini\n");
  EXPECT_EQ(Loaded().templatePath, "/home/p/R\xc3\xbcstung.vsk");
  EXPECT_EQ(Loaded().characterPath, "/home/p/\xc3\xa9t\xc3\xa9/Morwen-4.ini");
}

TEST_F(SettingsStore, AnyNonZeroFlagSetsItAndNumbersAreHeldToTheirRanges) {
  ::mkdir((m_dir.path() + "/.config").c_str(), 0700);
  ::mkdir((m_dir.path() + "/.config/Daoc").c_str(), 0700);
  WriteFile(StorePath(), "[settings]\nquit=1\nreverse=-7\ncleanup=0\nuse_space=4\nqbar=7\nqbar_first=0\nqbar_last=-3\n");
  JobSettings job = Loaded();
  EXPECT_EQ(job.options, static_cast<std::uint32_t>(OPT_QUIT | OPT_REVERSE | OPT_SPACER | OPT_DROP_RUN));
  EXPECT_EQ(job.quickbar, 3);
  EXPECT_EQ(job.firstBar, 1);
  EXPECT_EQ(job.lastBar, 1);
  SaveSettings(job, "Brindlemarque");
  EXPECT_NE(ReadFile(StorePath()).find("quit=16"), std::string::npos);
}

TEST_F(SettingsStore, GarbageGivesDefaultsAndOtherEntriesSurviveASave) {
  ::mkdir((m_dir.path() + "/.config").c_str(), 0700);
  ::mkdir((m_dir.path() + "/.config/Daoc").c_str(), 0700);
  WriteFile(StorePath(),
            "# kept comment\n[other]\nkeep=me\n[settings]\nqbar=abc\nqbar_first=99999999999\nqbar_last= 5x\n"
            "cleanup=\nextra=still here\nthis line has no equals sign\n");
  JobSettings job = Loaded();
  EXPECT_EQ(job.quickbar, 2);
  EXPECT_EQ(job.firstBar, 2);
  EXPECT_EQ(job.lastBar, 7);
  EXPECT_TRUE(job.Has(OPT_CLEANUP));
  SaveSettings(job, "Brindlemarque");
  std::string text = ReadFile(StorePath());
  EXPECT_NE(text.find("keep=me"), std::string::npos) << text;
  EXPECT_NE(text.find("extra=still here"), std::string::npos) << text;
  EXPECT_NE(text.find("# kept comment"), std::string::npos) << text;
}

TEST_F(SettingsStore, UnreadableStoreGivesDefaultsSilently) {
  ::mkdir((m_dir.path() + "/.config").c_str(), 0700);
  ::mkdir((m_dir.path() + "/.config/Daoc").c_str(), 0700);
  ::mkdir(StorePath().c_str(), 0700);  // a folder where the file belongs
  ExpectDefaults(Loaded());
  SaveSettings(JobSettings(), "Brindlemarque");  // fails quietly
  ::rmdir(StorePath().c_str());
  WriteFile(StorePath(), std::string("\0\xff\xfe[settings\nqbar=3\x01", 20));
  JobSettings job = Loaded();
  EXPECT_EQ(job.firstBar, 2);
}

TEST_F(SettingsStore, EachApplicationNameHasItsOwnValues) {
  JobSettings job;
  job.quickbar = 1;
  SaveSettings(job, "Brindlemarque");
  EXPECT_EQ(Loaded("Brindlemarque").quickbar, 1);
  ExpectDefaults(Loaded("CopyOfBrindlemarque"));
  EXPECT_EQ(ReadFile(StorePath("CopyOfBrindlemarque")).find("qbar="), std::string::npos);
}

TEST(ApplicationName, IsTheExecutablesBaseName) { EXPECT_EQ(ApplicationName(), "settings_test"); }

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  wxInitializer wx;
  return RUN_ALL_TESTS();
}
