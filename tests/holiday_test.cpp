#include "ledrix/holiday.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "ledrix/platform.h"

using ledrix::Date;
using ledrix::Holiday;
namespace fs = std::filesystem;

namespace {

fs::path LibraryFolder() {
  return fs::path(std::getenv("AppData")) / "Ordane Software" / "Ledrix";
}

fs::path HolidayFile() {
  return LibraryFolder() / Holiday::FileName;
}

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteAll(const fs::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// A holiday file of four records with `slots` serials each: record 0 is
// `name` with `dates`, the other three are blank.
std::string HolidayFileImage(int slots, const char* name, const std::vector<Date>& dates) {
  std::string image;
  for (int record = 0; record < 4; ++record) {
    char nameField[41] = {};
    if (record == 0) std::strncpy(nameField, name, 40);
    image.append(nameField, sizeof nameField);
    for (int k = 0; k < slots; ++k) {
      const std::uint16_t serial =
          record == 0 && k < static_cast<int>(dates.size()) ? dates[k].Serial : Date::NoDate;
      image += static_cast<char>(serial & 0xFF);
      image += static_cast<char>(serial >> 8);
    }
  }
  return image;
}

// The first `count` Mondays of 2010: 4, 11, 18 ... January.
std::vector<Date> Mondays2010(int count) {
  std::vector<Date> dates;
  for (int i = 0; i < count; ++i) dates.push_back(Date(1, 4, 10) + 7 * i);
  return dates;
}

int UsedSlots(const ledrix::HolidayEntry& entry) {
  int used = 0;
  for (const Date& d : entry.Dates) used += d.Serial != Date::NoDate;
  return used;
}

ino_t InodeOf(const fs::path& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 ? st.st_ino : 0;
}

class HolidayFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(LibraryFolder());
    fs::remove(HolidayFile());
  }
  void TearDown() override { fs::remove(HolidayFile()); }
};

}  // namespace

TEST_F(HolidayFileTest, BuiltInCalendarWithoutAFile) {
  const Holiday h;
  EXPECT_EQ(h.Count, 16);
  EXPECT_TRUE(h.IsHoliday(Date(1, 17, 5)));    // MLK Day 2005, row 2
  EXPECT_TRUE(h.IsHoliday(Date(12, 31, 4)));   // New Year's Day 2005 observed, row 16
  EXPECT_FALSE(h.IsHoliday(Date(1, 1, 5)));    // a Saturday with no slot
  EXPECT_TRUE(h.IsHoliday(Date(12, 31, 99)));  // New Year's Day 2000, in row 1's 2000 slot
  EXPECT_FALSE(h.IsHoliday(Date()));
  EXPECT_FALSE(h.IsHoliday(Date::FromSerial(0)));
  EXPECT_STREQ(h.Entries[0].Name, "New Year's Day");
  EXPECT_STREQ(h.Entries[15].Name, "New Year's Day");
  EXPECT_EQ(h.Entries[15].Dates[11], Date(12, 31, 4));  // slot of 2004
  EXPECT_EQ(h.Entries[15].Dates[28], Date(12, 31, 21));
  EXPECT_EQ(h.Entries[7].Dates[31], Date(6, 19, 24));  // Juneteenth 2024
  EXPECT_EQ(h.Entries[4].Dates[1], Date(4, 27, 94));   // Nixon Memorial
  int dates = 0;
  for (int row = 0; row < h.Count; ++row) {
    dates += UsedSlots(h.Entries[row]);
    for (int k = 32; k < 40; ++k) EXPECT_EQ(h.Entries[row].Dates[k], Date());  // 2025 on
  }
  EXPECT_EQ(dates, 350);  // 13 full rows of 32, less the gaps, plus the sparse rows
  EXPECT_EQ(h.Entries[16].Name[0], '\0');
  EXPECT_FALSE(fs::exists(HolidayFile()));  // loading creates no file
}

TEST_F(HolidayFileTest, ReadsEveryFileFormAndWritesTheCurrentOne) {
  for (int slots : {40, 30, 20}) {
    WriteAll(HolidayFile(), HolidayFileImage(slots, "Company Picnic", Mondays2010(slots)));
    ASSERT_EQ(fs::file_size(HolidayFile()), 4u * (41 + 2 * slots));
    const Holiday h;
    EXPECT_STREQ(h.Entries[16].Name, "Company Picnic") << slots;
    EXPECT_EQ(UsedSlots(h.Entries[16]), slots);  // the slots an older form lacks stay unused
    EXPECT_TRUE(h.IsHoliday(Date(1, 11, 10)));   // a user-defined date only
    EXPECT_FALSE(h.IsHoliday(Date(1, 12, 10)));
    EXPECT_EQ(ReadAll(HolidayFile()), HolidayFileImage(40, "Company Picnic", Mondays2010(slots)));
  }
}

TEST_F(HolidayFileTest, IndexAnswersAsASearchOfEverySlot) {
  WriteAll(HolidayFile(), HolidayFileImage(40, "Plant Shutdown", Mondays2010(40)));
  Holiday h;
  h.Entries[19].Dates[0] = Date(3, 3, 27);  // an edit by hand, then Reindex
  h.Reindex();
  for (int serial = 0; serial < 65536; ++serial) {
    const Date d = Date::FromSerial(static_cast<std::uint16_t>(serial));
    bool found = false;
    for (const auto& entry : h.Entries) {
      for (const Date& slot : entry.Dates) found = found || (d.IsValid() && slot == d);
    }
    ASSERT_EQ(h.IsHoliday(d), found ? 1 : 0) << serial;
  }
}

// A file this version cannot read is kept as it is for the user: nothing is
// taken from it and it is not rewritten.
TEST_F(HolidayFileTest, UnreadableFilesAreLeftWhole) {
  const std::string whole = HolidayFileImage(40, "Company Picnic", Mondays2010(3));
  for (const std::string& bytes : {std::string(3650, '\x07'), std::string(2406, '\0'),
                                   whole.substr(0, 483), whole.substr(0, 121), std::string()}) {
    WriteAll(HolidayFile(), bytes);
    const Holiday h;
    EXPECT_EQ(h.Count, 16);
    EXPECT_TRUE(h.IsHoliday(Date(1, 17, 5)));
    EXPECT_FALSE(h.IsHoliday(Date(1, 11, 10)));
    EXPECT_EQ(h.Entries[16].Name[0], '\0');
    EXPECT_EQ(ReadAll(HolidayFile()), bytes) << bytes.size();
  }
}

TEST_F(HolidayFileTest, RewriteReplacesTheFileWhole) {
  WriteAll(HolidayFile(), HolidayFileImage(30, "Company Picnic", Mondays2010(2)));
  const ino_t before = InodeOf(HolidayFile());
  { const Holiday h; }
  EXPECT_NE(InodeOf(HolidayFile()), before);  // a new file renamed into place
  EXPECT_EQ(fs::file_size(HolidayFile()), 484u);
  int files = 0;
  for ([[maybe_unused]] const auto& entry : fs::directory_iterator(LibraryFolder())) ++files;
  EXPECT_EQ(files, 1);  // no temporary file left behind

  // A write that fails part way (the file-size limit stops it at 100 bytes)
  // leaves the old file as it was; the calendar still holds what it read.
  const std::string old = ReadAll(HolidayFile());
  rlimit saved{};
  getrlimit(RLIMIT_FSIZE, &saved);
  rlimit small = saved;
  small.rlim_cur = 100;
  auto previous = std::signal(SIGXFSZ, SIG_IGN);
  setrlimit(RLIMIT_FSIZE, &small);
  Holiday h;
  const int saved_ok = h.Save();
  setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, previous);
  EXPECT_EQ(saved_ok, 0);
  EXPECT_TRUE(h.IsHoliday(Date(1, 11, 10)));
  EXPECT_EQ(ReadAll(HolidayFile()), old);
  files = 0;
  for ([[maybe_unused]] const auto& entry : fs::directory_iterator(LibraryFolder())) ++files;
  EXPECT_EQ(files, 1);
}

TEST_F(HolidayFileTest, SaveWritesTheUserDefinedHolidays) {
  Holiday h;
  std::strcpy(h.Entries[h.Count + 3].Name, "Founders Day");
  h.Entries[h.Count + 3].Dates[5] = Date(9, 9, 9);
  EXPECT_EQ(h.Save(), 1);
  const Holiday reloaded;
  EXPECT_STREQ(reloaded.Entries[19].Name, "Founders Day");
  EXPECT_TRUE(reloaded.IsHoliday(Date(9, 9, 9)));

  Holiday elsewhere;
  elsewhere.Folder = "\\no such folder\\";
  EXPECT_EQ(elsewhere.Save(), 0);
}

TEST(HolidayFolder, FolderTextAndPath) {
  const std::string appData = std::getenv("AppData");
  EXPECT_EQ(Holiday().Folder, appData + "\\Ordane Software\\Ledrix\\\\");
  EXPECT_EQ(Holiday().FilePath(), appData + "/Ordane Software/Ledrix/LEDRIX93.HOL");
  unsetenv("AppData");
  EXPECT_EQ(ledrix::UserFolderText(), "\\Ordane Software\\Ledrix\\\\");
  Holiday rootFolder;  // looked for under the root folder
  setenv("AppData", appData.c_str(), 1);
  EXPECT_EQ(rootFolder.FilePath(), "/Ordane Software/Ledrix/LEDRIX93.HOL");
  EXPECT_EQ(rootFolder.Count, 16);
  EXPECT_EQ(ledrix::NativePath("C:\\\\a//b\\c"), "C:/a/b/c");
}

TEST_F(HolidayFileTest, SharedCalendarFollowsTheFile) {
  WriteAll(HolidayFile(), HolidayFileImage(40, "Company Picnic", Mondays2010(1)));
  const auto first = Holiday::Shared();
  EXPECT_TRUE(first->IsHoliday(Date(1, 4, 10)));
  const auto loaded = fs::last_write_time(HolidayFile());
  const ino_t inode = InodeOf(HolidayFile());
  for (int call = 0; call < 5; ++call) EXPECT_EQ(Holiday::Shared(), first);
  EXPECT_EQ(fs::last_write_time(HolidayFile()), loaded);  // an unchanged file is not rewritten
  EXPECT_EQ(InodeOf(HolidayFile()), inode);

  WriteAll(HolidayFile(), HolidayFileImage(30, "Plant Shutdown", Mondays2010(2)));
  const auto changed = Holiday::Shared();
  EXPECT_NE(changed, first);
  EXPECT_STREQ(changed->Entries[16].Name, "Plant Shutdown");
  EXPECT_TRUE(changed->IsHoliday(Date(1, 11, 10)));
  EXPECT_TRUE(first->IsHoliday(Date(1, 4, 10)));  // a calendar handed out never changes

  fs::remove(HolidayFile());
  EXPECT_FALSE(Holiday::Shared()->IsHoliday(Date(1, 4, 10)));
  EXPECT_FALSE(fs::exists(HolidayFile()));

  const std::string appData = std::getenv("AppData");
  const fs::path other = fs::path(appData) / "other";
  fs::create_directories(other / "Ordane Software" / "Ledrix");
  WriteAll(other / "Ordane Software" / "Ledrix" / Holiday::FileName,
           HolidayFileImage(20, "Other Office", Mondays2010(3)));
  setenv("AppData", other.c_str(), 1);
  const auto moved = Holiday::Shared();
  setenv("AppData", appData.c_str(), 1);
  EXPECT_TRUE(moved->IsHoliday(Date(1, 18, 10)));
  EXPECT_STREQ(moved->Entries[16].Name, "Other Office");
}
