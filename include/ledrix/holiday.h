// Holiday: the calendar of legal holidays that the due-date and lateness
// rules step over.
//
// Entries 0 to Count-1 hold the built-in federal holidays of 1993 through
// 2024 (slot k of every entry is the observed date of year 1993 + k); up to
// four user-defined holidays follow from entry Count (the legal holidays of
// later years, which legal_holidays.h gives by rule, are kept there). The
// user-defined ones live in the holiday file "LEDRIX93.HOL" in the per-user
// folder:
//
//   484 bytes  4 records of 121 bytes: a 41-byte name, 40 day serials (LE)
//   404 bytes  4 records of 101 bytes: a 41-byte name, 30 day serials
//   324 bytes  4 records of  81 bytes: a 41-byte name, 20 day serials
//
// Loading reads the file and writes it back in the 484-byte form. Every
// rewrite goes through a temporary file in the same folder and a rename, so
// a crash mid-write leaves the old file whole. A file of any other length,
// or one that reads short, is left as it is and only the built-in holidays
// apply.
//
// Lookup. A calendar answers IsHoliday from its entries as they are at the
// moment of asking, so a host that edits Entries directly is heard at once.
// The process-wide calendar (Shared), which nobody edits, answers from an
// index built once when it is loaded.
#pragma once

#include <bitset>
#include <cstddef>
#include <memory>
#include <string>

#include "ledrix/date.h"
#include "ledrix/export.h"

namespace ledrix {

#pragma pack(push, 1)
/// One holiday: its name and up to 40 observed dates (65535 = unused).
struct LEDRIX_API HolidayEntry {
  char Name[41];
  ledrix::Date Dates[40];
};
#pragma pack(pop)
static_assert(sizeof(HolidayEntry) == 121, "holiday entry is 121 bytes");

class LEDRIX_API Holiday {
 public:
  static constexpr int EntryCount = 30;
  static constexpr int SlotCount = 40;
  static constexpr int UserEntryCount = 4;
  static constexpr const char* FileName = "LEDRIX93.HOL";

  int Count = 0;
  HolidayEntry Entries[EntryCount];
  /// The per-user folder in the text form "<AppData>\Ordane Software\Ledrix\\"
  /// (backslashes, ending in a doubled one); the platform layer maps it to a
  /// POSIX path.
  std::string Folder;

  /// Blank entries, Clear, Folder from "AppData", then Load.
  Holiday();
  /// A copy holds the same entries and, being open to edits, searches them
  /// (even when copied from the shared calendar).
  Holiday(const Holiday& other);
  Holiday& operator=(const Holiday& other);
  ~Holiday() = default;

  /// Every entry blank, Count 0, Folder empty.
  void Clear();
  /// Copies the built-in table into entries 0 onward; Count = its rows.
  void LoadBuiltIn();
  /// LoadBuiltIn, then reads the holiday file and rewrites it whole.
  void Load();
  /// Writes the four user-defined entries; 1 when all four were written.
  int Save();
  /// 1 when any slot of any entry holds the date now. A no date never
  /// matches.
  int IsHoliday(Date date) const;

  /// The full path of the holiday file as the platform sees it.
  std::string FilePath() const;

  /// The process-wide loaded calendar. It is loaded (and the file rewritten)
  /// once, and again only when the holiday file's identity (its path, which
  /// follows "AppData", existence, size, modification time, inode) changes,
  /// so the due-date pass can ask for it on every allocation method at the
  /// cost of one stat(). Safe to call from several threads; the calendar
  /// returned is never modified, and answers IsHoliday in constant time.
  static std::shared_ptr<const Holiday> Shared();

 private:
  using SerialSet = std::bitset<65536>;
  void BlankEntries();
  /// The holiday serials of the entries as they stand, for a calendar that
  /// will not change again.
  std::unique_ptr<const SerialSet> IndexOfEntries() const;
  /// Set only on the shared calendar; every other calendar searches Entries.
  std::unique_ptr<const SerialSet> index_;
};

}  // namespace ledrix
