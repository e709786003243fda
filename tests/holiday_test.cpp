#include "ledrix/holiday.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "ledrix/legal_holidays.h"
#include "ledrix/platform.h"

namespace ledrix {
namespace {

namespace fs = std::filesystem;

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

// A holiday file of four records of `slots` serials each: the first is
// `name` on the first `mondays` Mondays of 2010 (4, 11, 18 ... January), the
// others blank.
std::string FileImage(int slots, const char* name, int mondays) {
  std::string image;
  for (int record = 0; record < 4; ++record) {
    char nameField[41] = {};
    if (record == 0) std::strncpy(nameField, name, 40);
    image.append(nameField, sizeof nameField);
    for (int k = 0; k < slots; ++k) {
      const Date date = record == 0 && k < mondays ? Date(1, 4, 10) + 7 * k : Date();
      image += static_cast<char>(date.Serial & 0xFF);
      image += static_cast<char>(date.Serial >> 8);
    }
  }
  return image;
}

int UsedSlots(const HolidayEntry& entry) {
  return static_cast<int>(std::count_if(std::begin(entry.Dates), std::end(entry.Dates),
                                        [](Date d) { return d.Serial != Date::NoDate; }));
}

ino_t InodeOf(const fs::path& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 ? st.st_ino : 0;
}

auto FilesInLibraryFolder() {
  return std::distance(fs::directory_iterator(LibraryFolder()), fs::directory_iterator());
}

class HolidayFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(LibraryFolder());
    fs::remove(HolidayFile());
  }
  void TearDown() override { fs::remove(HolidayFile()); }
};

TEST_F(HolidayFileTest, BuiltInCalendarWithoutAFile) {
  const Holiday h;
  EXPECT_EQ(h.Count, 16);
  EXPECT_TRUE(h.IsHoliday(Date(12, 31, 4)));  // New Year's Day 2005 observed, in row 16
  EXPECT_FALSE(h.IsHoliday(Date(1, 1, 5)));   // a Saturday with no slot
  EXPECT_FALSE(h.IsHoliday(Date()));
  EXPECT_FALSE(h.IsHoliday(Date::FromSerial(0)));
  EXPECT_EQ(h.Entries[16].Name[0], '\0');
  EXPECT_FALSE(fs::exists(HolidayFile()));  // loading creates no file
  // An entry edited in place is heard at once, with no other call, in a
  // calendar of one's own and in a copy of the shared one: MLK Day 2005
  // (row 2, slot 12) moved a day on.
  Holiday own, copy(*Holiday::Shared());
  for (Holiday* edited : {&own, &copy}) {
    edited->Entries[1].Dates[12] = Date(1, 18, 5);
    EXPECT_FALSE(edited->IsHoliday(Date(1, 17, 5)));
    EXPECT_TRUE(edited->IsHoliday(Date(1, 18, 5)));
  }
}

// Every built-in date against its holiday's rule (legal_holidays.h), 1993 to
// 2024: each date stands in the slot of its year (row 1 keeps a New Year's
// Day observed on 31 December in the next year's slot), none falls on a
// weekend but the Saturday Inauguration Day of 2001, and the table holds what
// the rules give but for the departures listed.
TEST_F(HolidayFileTest, BuiltInDatesFollowTheirHolidaysRules) {
  const struct {
    const char* name;
    int from, to;
    Date (*day)(int year);
  } rules[] = {{"New Year's Day", 1993, 2024, NewYearsDay},
               {"MLK Birthday", 1993, 2024, MartinLutherKingDay},
               {"Inauguration Day", 1993, 2024, InaugurationDay},
               {"President's Day", 1993, 2024, WashingtonsBirthday},
               {"Nixon Memorial", 1994, 1994, [](int) { return Date(4, 27, 94); }},
               {"DC Emancipation Day", 2007, 2024, DcEmancipationDay},
               {"Memorial Day", 1993, 2024, MemorialDay},
               {"Juneteenth", 2021, 2024, JuneteenthDay},
               {"Independence Day", 1993, 2024, IndependenceDay},
               {"Labor Day", 1993, 2024, LaborDay},
               {"Columbus Day", 1993, 2024, ColumbusDay},
               {"Veteran's Day", 1993, 2024, VeteransDay},
               {"Thanksgiving", 1993, 2024, ThanksgivingDay},
               {"Christmas", 1993, 2024, ChristmasDay},
               {"Extra Day at Christmas", 1997, 1997, [](int) { return Date(12, 26, 97); }}};
  const auto text = [](const std::string& name, Date date) {
    char day[13];
    date.Format(day);
    return name + " " + day;
  };
  std::set<std::string> byRule, inTable;
  for (const auto& rule : rules) {
    for (int year = rule.from; year <= rule.to; ++year) {
      if (rule.day(year).IsValid()) byRule.insert(text(rule.name, rule.day(year)));
    }
  }
  const Holiday h;
  for (int row = 0; row < h.Count; ++row) {
    for (int k = 0; k < Holiday::SlotCount; ++k) {
      const Date date = h.Entries[row].Dates[k];
      if (!date.IsValid()) continue;
      inTable.insert(text(h.Entries[row].Name, date));
      EXPECT_EQ(1900 + date.Year() + (row == 0 && date.Month() == 12), 1993 + k) << row;
      EXPECT_TRUE(!date.IsWeekend() || date == Date(1, 20, 1)) << text(h.Entries[row].Name, date);
    }
  }
  std::vector<std::string> unlike;
  std::set_symmetric_difference(byRule.begin(), byRule.end(), inTable.begin(), inTable.end(),
                                std::back_inserter(unlike));
  // The departures: 1 January 2011 was a Saturday, and the table lacks its
  // Friday; 20 January 2013 was a Sunday, and the table has no Inauguration
  // Day for its Monday, MLK Day.
  EXPECT_EQ(unlike,
            (std::vector<std::string>{"Inauguration Day 01-21-13", "New Year's Day 12-31-10"}));
}

TEST_F(HolidayFileTest, ReadsEveryFileFormAndWritesTheCurrentOne) {
  for (int slots : {40, 30, 20}) {
    WriteAll(HolidayFile(), FileImage(slots, "Company Picnic", slots));
    ASSERT_EQ(fs::file_size(HolidayFile()), 4u * (41 + 2 * slots));
    const Holiday h;
    EXPECT_STREQ(h.Entries[16].Name, "Company Picnic") << slots;
    EXPECT_EQ(UsedSlots(h.Entries[16]), slots);  // the slots an older form lacks stay unused
    EXPECT_TRUE(h.IsHoliday(Date(1, 11, 10)));
    EXPECT_FALSE(h.IsHoliday(Date(1, 12, 10)));
    EXPECT_EQ(ReadAll(HolidayFile()), FileImage(40, "Company Picnic", slots));
  }
}

// A corrupt or truncated file is kept as it is for the user: nothing is taken
// from it and it is not rewritten.
TEST_F(HolidayFileTest, UnreadableFilesAreLeftWhole) {
  const std::string whole = FileImage(40, "Company Picnic", 3);
  for (const std::string& bytes : {std::string(3650, '\x07'), std::string(2406, '\0'),
                                   whole.substr(0, 483), whole.substr(0, 121), std::string()}) {
    WriteAll(HolidayFile(), bytes);
    const Holiday h;
    EXPECT_EQ(h.Count, 16);
    EXPECT_TRUE(h.IsHoliday(Date(1, 17, 5)));
    EXPECT_FALSE(h.IsHoliday(Date(1, 11, 10)));
    EXPECT_EQ(ReadAll(HolidayFile()), bytes) << bytes.size();
  }
}

TEST_F(HolidayFileTest, RewriteReplacesTheFileWhole) {
  WriteAll(HolidayFile(), FileImage(30, "Company Picnic", 2));
  const ino_t before = InodeOf(HolidayFile());
  { const Holiday h; }
  EXPECT_NE(InodeOf(HolidayFile()), before);  // a new file renamed into place
  EXPECT_EQ(fs::file_size(HolidayFile()), 484u);
  EXPECT_EQ(FilesInLibraryFolder(), 1);  // no temporary file left behind

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
  const int savedOk = h.Save();
  setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, previous);
  EXPECT_EQ(savedOk, 0);
  EXPECT_TRUE(h.IsHoliday(Date(1, 11, 10)));
  EXPECT_EQ(ReadAll(HolidayFile()), old);
  EXPECT_EQ(FilesInLibraryFolder(), 1);

  // A user-defined holiday is written; a folder that is not there fails.
  std::strcpy(h.Entries[h.Count + 3].Name, "Founders Day");
  h.Entries[h.Count + 3].Dates[5] = Date(9, 9, 9);
  EXPECT_EQ(h.Save(), 1);
  EXPECT_TRUE(Holiday().IsHoliday(Date(9, 9, 9)));
  h.Folder = "\\no such folder\\";
  EXPECT_EQ(h.Save(), 0);
}

TEST(HolidayFolder, FolderTextAndPath) {
  const std::string appData = std::getenv("AppData");
  EXPECT_EQ(Holiday().Folder, appData + "\\Ordane Software\\Ledrix\\\\");
  EXPECT_EQ(Holiday().FilePath(), appData + "/Ordane Software/Ledrix/LEDRIX93.HOL");
  unsetenv("AppData");
  EXPECT_EQ(UserFolderText(), "\\Ordane Software\\Ledrix\\\\");
  Holiday rootFolder;  // looked for under the root folder
  setenv("AppData", appData.c_str(), 1);
  EXPECT_EQ(rootFolder.FilePath(), "/Ordane Software/Ledrix/LEDRIX93.HOL");
  EXPECT_EQ(rootFolder.Count, 16);
  EXPECT_EQ(NativePath("C:\\\\a//b\\c"), "C:/a/b/c");
}

TEST_F(HolidayFileTest, SharedCalendarFollowsTheFile) {
  WriteAll(HolidayFile(), FileImage(40, "Company Picnic", 1));
  const auto first = Holiday::Shared();
  EXPECT_TRUE(first->IsHoliday(Date(1, 4, 10)));
  const auto loaded = fs::last_write_time(HolidayFile());
  const ino_t inode = InodeOf(HolidayFile());
  for (int call = 0; call < 5; ++call) EXPECT_EQ(Holiday::Shared(), first);
  EXPECT_EQ(fs::last_write_time(HolidayFile()), loaded);  // an unchanged file is not rewritten
  EXPECT_EQ(InodeOf(HolidayFile()), inode);

  WriteAll(HolidayFile(), FileImage(30, "Plant Shutdown", 2));
  const auto changed = Holiday::Shared();
  EXPECT_STREQ(changed->Entries[16].Name, "Plant Shutdown");
  EXPECT_TRUE(changed->IsHoliday(Date(1, 11, 10)));
  EXPECT_TRUE(first->IsHoliday(Date(1, 4, 10)));  // a calendar handed out never changes

  fs::remove(HolidayFile());
  EXPECT_FALSE(Holiday::Shared()->IsHoliday(Date(1, 4, 10)));
  EXPECT_FALSE(fs::exists(HolidayFile()));
}

// ---- the District of Columbia's legal holidays by rule ------------------------------

// The days of DcLegalHolidays(year), each once, as "MM-DD" joined by blanks.
std::string RuleDays(int year) {
  std::string days;
  for (const LegalHoliday& holiday : DcLegalHolidays(year)) {
    char text[13] = {};
    holiday.Date.Format(text);
    const std::string day(text, 5);
    if (days.find(day) == std::string::npos) days += (days.empty() ? "" : " ") + day;
  }
  return days;
}

// The DC legal holidays observed in each year, as published: the federal
// holidays from the lists of the Office of Personnel Management (opm.gov,
// "Federal Holidays"), DC Emancipation Day from the District's schedule
// (D.C. Code 1-612.02: 16 April, Saturday to Friday, Sunday to Monday) and
// Inauguration Day from 5 U.S.C. 6103(c). Weekdays checked with python3's
// datetime. 2027 ends with New Year's Day 2028 (a Saturday), which 2028
// therefore lacks; Inauguration Day 2025 is MLK Day, that of 2029 a Saturday
// (it moves only from a Sunday).
TEST(DcLegalHolidays, PublishedYears) {
  const struct {
    int year;
    const char* days;
  } published[] = {
      {2025, "01-01 01-20 02-17 04-16 05-26 06-19 07-04 09-01 10-13 11-11 11-27 12-25"},
      {2026, "01-01 01-19 02-16 04-16 05-25 06-19 07-03 09-07 10-12 11-11 11-26 12-25"},
      {2027, "01-01 01-18 02-15 04-16 05-31 06-18 07-05 09-06 10-11 11-11 11-25 12-24 12-31"},
      {2028, "01-17 02-21 04-17 05-29 06-19 07-04 09-04 10-09 11-10 11-23 12-25"},
      {2029, "01-01 01-15 01-20 02-19 04-16 05-28 06-19 07-04 09-03 10-08 11-12 11-22 12-25"},
      {2030, "01-01 01-21 02-18 04-16 05-27 06-19 07-04 09-02 10-14 11-11 11-28 12-25"},
      {2031, "01-01 01-20 02-17 04-16 05-26 06-19 07-04 09-01 10-13 11-11 11-27 12-25"},
      {2032, "01-01 01-19 02-16 04-16 05-31 06-18 07-05 09-06 10-11 11-11 11-25 12-24 12-31"},
  };
  for (const auto& p : published) EXPECT_EQ(RuleDays(p.year), p.days) << p.year;
  const std::vector<LegalHoliday> y2025 = DcLegalHolidays(2025);
  ASSERT_GE(y2025.size(), 3u);
  EXPECT_STREQ(y2025[1].Name, "MLK Birthday");
  EXPECT_STREQ(y2025[2].Name, "Inauguration Day");
  EXPECT_EQ(DcEmancipationDay(2033), Date(4, 15, 2033));  // 16 April 2033 is a Saturday
  EXPECT_FALSE(InaugurationDay(2026).IsValid());
}

}  // namespace
}  // namespace ledrix
