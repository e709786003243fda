#include "ledrix/holiday.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <mutex>

#include "ledrix/platform.h"
#include "platform/files.h"

namespace ledrix {

namespace {

// The legal holidays of 1993 through 2024, one row per holiday: slot k holds
// the observed date in year 1993 + k as MMDDYY, except that row 1 keeps a New
// Year's Day observed on 31 December in the next year's slot. The table ends
// at the first row with an empty name.
struct BuiltInRow {
  char name[30];
  char dates[Holiday::SlotCount][10];
};

constexpr BuiltInRow kBuiltInHolidays[] = {
    {"New Year's Day",
     {"010193", "123193", "010295", "010196", "010197", "010198", "010199", "123199",
      "010101", "010102", "010103", "010104", "",       "010206", "010107", "010108",
      "010109", "010110", "",       "010212", "010113", "010114", "010115", "010116",
      "010217", "010118", "010119", "010120", "010121", "",       "010223", "010124"}},
    {"MLK Birthday",
     {"011893", "011794", "011695", "011596", "012097", "011998", "011899", "011700",
      "011501", "012102", "012003", "011904", "011705", "011606", "011507", "012108",
      "011909", "011810", "011711", "011612", "012113", "012014", "011915", "011816",
      "011617", "011518", "012119", "012020", "011821", "011722", "011623", "011524"}},
    {"Inauguration Day",
     {"012093", "", "", "", "012097", "", "", "", "012001", "", "", "", "012005", "", "", "",
      "012009", "", "", "", "",       "", "", "", "012017", "", "", "", "012021"}},
    {"President's Day",
     {"021593", "022194", "022095", "021996", "021797", "021698", "021599", "022100",
      "021901", "021802", "021703", "021604", "022105", "022006", "021907", "021808",
      "021609", "021510", "022111", "022012", "021813", "021714", "021615", "021516",
      "022017", "021918", "021819", "021720", "021521", "022122", "022023", "021924"}},
    {"Nixon Memorial", {"", "042794"}},
    {"DC Emancipation Day",
     {"",       "",       "",       "",       "",       "",       "",       "",
      "",       "",       "",       "",       "",       "",       "041607", "041608",
      "041609", "041610", "041511", "041612", "041613", "041614", "041615", "041516",
      "041717", "041618", "041619", "041620", "041621", "041522", "041723", "041624"}},
    {"Memorial Day",
     {"053193", "053094", "052995", "052796", "052697", "052598", "053199", "052900",
      "052801", "052702", "052603", "053104", "053005", "052906", "052807", "052608",
      "052509", "053110", "053011", "052812", "052713", "052614", "052515", "053016",
      "052917", "052818", "052719", "052520", "053121", "053022", "052923", "052724"}},
    {"Juneteenth",
     {"", "", "", "", "", "", "", "", "", "", "", "", "",       "",       "",       "",
      "", "", "", "", "", "", "", "", "", "", "", "", "061821", "062022", "061923", "061924"}},
    {"Independence Day",
     {"070593", "070494", "070495", "070496", "070497", "070398", "070599", "070400",
      "070401", "070402", "070403", "070504", "070405", "070406", "070407", "070408",
      "070309", "070510", "070411", "070412", "070413", "070414", "070315", "070416",
      "070417", "070418", "070419", "070320", "070521", "070422", "070423", "070424"}},
    {"Labor Day", {"090693", "090594", "090495", "090296", "090197", "090798", "090699", "090400",
                   "090301", "090202", "090103", "090604", "090505", "090406", "090307", "090108",
                   "090709", "090610", "090511", "090312", "090213", "090114", "090715", "090516",
                   "090417", "090318", "090219", "090720", "090621", "090522", "090423", "090224"}},
    {"Columbus Day",
     {"101193", "101094", "100995", "101496", "101397", "101298", "101199", "100900",
      "100801", "101402", "101303", "101104", "101005", "100906", "100807", "101308",
      "101209", "101110", "101011", "100812", "101413", "101314", "101215", "101016",
      "100917", "100818", "101419", "101220", "101121", "101022", "100923", "101424"}},
    {"Veteran's Day",
     {"111193", "111194", "111095", "111196", "111197", "111198", "111199", "111000",
      "111201", "111102", "111103", "111104", "111105", "111006", "111207", "111108",
      "111109", "111110", "111111", "111212", "111113", "111114", "111115", "111116",
      "111017", "111218", "111119", "111120", "111121", "111122", "111023", "111124"}},
    {"Thanksgiving",
     {"112593", "112494", "112395", "112896", "112797", "112698", "112599", "112300",
      "112201", "112802", "112703", "112504", "112405", "112306", "112207", "112708",
      "112609", "112510", "112411", "112212", "112813", "112714", "112615", "112416",
      "112317", "112218", "112819", "112620", "112521", "112422", "112323", "112824"}},
    {"Christmas", {"122493", "122694", "122595", "122596", "122597", "122598", "122499", "122500",
                   "122501", "122502", "122503", "122404", "122605", "122506", "122507", "122508",
                   "122509", "122410", "122611", "122512", "122513", "122514", "122515", "122616",
                   "122517", "122518", "122519", "122520", "122421", "122622", "122523", "122524"}},
    {"Extra Day at Christmas", {"", "", "", "", "122697"}},
    {"New Year's Day", {"", "", "", "", "", "", "", "", "", "", "", "123104", "", "",      "",
                        "", "", "", "", "", "", "", "", "", "", "", "",       "", "123121"}},
    {},
};

// The holiday file holds four records of a 41-byte name and the day serials
// (unsigned 16-bit, little-endian); older files carry fewer serials.
constexpr int kNameBytes = sizeof(HolidayEntry::Name);
constexpr int kCurrentSlots = Holiday::SlotCount;
constexpr int RecordBytes(int slots) {
  return kNameBytes + 2 * slots;
}
constexpr int kRecordBytes = RecordBytes(kCurrentSlots);
constexpr int kFileBytes = Holiday::UserEntryCount * kRecordBytes;
static_assert(kFileBytes == 484, "the current holiday file is 484 bytes");

// Serials per record of a holiday file of `length` bytes: 40, 30 or 20; 0
// for any other length.
int SlotsPerRecord(long long length) {
  for (int slots : {40, 30, 20}) {
    if (length == Holiday::UserEntryCount * RecordBytes(slots)) return slots;
  }
  return 0;
}

// Reads the user-defined records into the front of entries. The slots a
// record of an older form lacks stay unused.
void DecodeRecord(const unsigned char* record, int slots, HolidayEntry& entry) {
  std::memcpy(entry.Name, record, kNameBytes);
  entry.Name[kNameBytes - 1] = '\0';  // a damaged name must not run into the dates
  const unsigned char* serials = record + kNameBytes;
  for (int k = 0; k < slots; ++k) {
    entry.Dates[k] =
        Date::FromSerial(static_cast<std::uint16_t>(serials[2 * k] | serials[2 * k + 1] << 8));
  }
}

void EncodeRecord(const HolidayEntry& entry, unsigned char* record) {
  std::memcpy(record, entry.Name, kNameBytes);
  unsigned char* serials = record + kNameBytes;
  for (int k = 0; k < kCurrentSlots; ++k) {
    serials[2 * k] = static_cast<unsigned char>(entry.Dates[k].Serial & 0xFF);
    serials[2 * k + 1] = static_cast<unsigned char>(entry.Dates[k].Serial >> 8);
  }
}

enum class FileRead { Missing, Unusable, Read };

// Reads the whole holiday file. A file of a length no form has, or one that
// reads short, is Unusable: nothing is taken from it and it is not
// rewritten, so a file this version cannot read is kept for the user.
FileRead ReadHolidayFile(const std::string& path, unsigned char (&image)[kFileBytes], int& slots) {
  const int fd = platform::OpenForRead(path);
  if (fd < 0) return FileRead::Missing;
  slots = SlotsPerRecord(platform::FileLength(fd));
  const long wanted = Holiday::UserEntryCount * RecordBytes(slots);
  const bool whole = slots > 0 && platform::ReadFile(fd, image, wanted) == wanted;
  platform::CloseFile(fd);
  return whole ? FileRead::Read : FileRead::Unusable;
}

}  // namespace

Holiday::Holiday() {
  BlankEntries();
  Clear();
  Folder = UserFolderText();
  Load();
}

Holiday::Holiday(const Holiday& other) : Count(other.Count), Folder(other.Folder) {
  std::copy(std::begin(other.Entries), std::end(other.Entries), std::begin(Entries));
}

Holiday& Holiday::operator=(const Holiday& other) {
  if (this != &other) {
    Count = other.Count;
    std::copy(std::begin(other.Entries), std::end(other.Entries), std::begin(Entries));
    Folder = other.Folder;
    index_.reset();
  }
  return *this;
}

void Holiday::BlankEntries() {
  for (HolidayEntry& entry : Entries) {
    std::memset(entry.Name, 0, sizeof entry.Name);
    for (Date& slot : entry.Dates) slot = Date();
  }
}

void Holiday::Clear() {
  BlankEntries();
  Count = 0;
  Folder.clear();
}

void Holiday::LoadBuiltIn() {
  int row = 0;
  for (; row < EntryCount && kBuiltInHolidays[row].name[0] != '\0'; ++row) {
    HolidayEntry& entry = Entries[row];
    std::memset(entry.Name, 0, sizeof entry.Name);
    std::memcpy(entry.Name, kBuiltInHolidays[row].name, sizeof kBuiltInHolidays[row].name);
    for (int k = 0; k < SlotCount; ++k) entry.Dates[k].Parse(kBuiltInHolidays[row].dates[k]);
  }
  Count = row;
}

void Holiday::Load() {
  // A reload starts from a blank calendar, so no user-defined date of an
  // earlier load survives in slots the file no longer fills.
  BlankEntries();
  LoadBuiltIn();
  const std::string path = FilePath();
  unsigned char image[kFileBytes];
  int slots = 0;
  if (ReadHolidayFile(path, image, slots) != FileRead::Read) return;
  const int recordBytes = RecordBytes(slots);
  for (int i = 0; i < UserEntryCount && Count + i < EntryCount; ++i) {
    DecodeRecord(image + i * recordBytes, slots, Entries[Count + i]);
  }
  Save();  // always written back in the current form
}

int Holiday::Save() {
  if (Count + UserEntryCount > EntryCount) return 0;
  unsigned char image[kFileBytes];
  for (int i = 0; i < UserEntryCount; ++i) {
    EncodeRecord(Entries[Count + i], image + i * kRecordBytes);
  }
  return platform::WriteFileAtomically(FilePath(), image, sizeof image) ? 1 : 0;
}

int Holiday::IsHoliday(Date date) const {
  if (!date.IsValid()) return 0;
  if (index_) return (*index_)[date.Serial] ? 1 : 0;
  // Each entry's slots are copied out of the packed record and compared
  // without an early exit, which the compiler turns into a few wide
  // comparisons (about five times faster than slot by slot).
  for (const HolidayEntry& entry : Entries) {
    std::uint16_t serials[SlotCount];
    std::memcpy(serials, entry.Dates, sizeof serials);
    int found = 0;
    for (std::uint16_t serial : serials) found |= serial == date.Serial;
    if (found) return 1;
  }
  return 0;
}

std::unique_ptr<const Holiday::SerialSet> Holiday::IndexOfEntries() const {
  auto index = std::make_unique<SerialSet>();
  for (const HolidayEntry& entry : Entries) {
    for (const Date& slot : entry.Dates) {
      if (slot.IsValid()) index->set(slot.Serial);
    }
  }
  return index;
}

std::string Holiday::FilePath() const {
  return NativePath(Folder + FileName);
}

std::shared_ptr<const Holiday> Holiday::Shared() {
  static std::mutex mutex;
  static std::shared_ptr<const Holiday> calendar;
  static platform::FileIdentity loadedFrom;

  const std::string path = NativePath(UserFolderText() + FileName);
  std::lock_guard lock(mutex);
  if (calendar && platform::IdentityOf(path) == loadedFrom) return calendar;
  auto fresh = std::make_shared<Holiday>();
  // Handed out as const and never edited, so its index stays true.
  fresh->index_ = fresh->IndexOfEntries();
  // Loading rewrote the file: remember the file as the load left it.
  loadedFrom = platform::IdentityOf(fresh->FilePath());
  calendar = std::move(fresh);
  return calendar;
}

}  // namespace ledrix
