// The IRS's quarterly interest rates: the built-in list and the rate file.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <iterator>

#include "ledrix/interest.h"
#include "ledrix/platform.h"
#include "platform/files.h"

namespace ledrix {

namespace {

// Percent a year, January-March 1993 onward; the list ends at the first value
// that is not above 0.0.
constexpr double kBuiltInRates[] = {
    7, 7, 7, 7, 7, 7, 8, 9, 9, 10, 9, 9, 9, 8, 9, 9, 9, 9, 9, 9, 9, 8, 8, 8,  // 1993-1998
    7, 8, 8, 8, 8, 9, 9, 9, 9, 8,  7, 7, 6, 6, 6, 6, 5, 5, 5, 4, 4, 5, 4, 5,  // 1999-2004
    5, 6, 6, 7, 7, 7, 8, 8, 8, 8,  8, 8, 7, 6, 5, 6, 5, 4, 4, 4, 4, 4, 4, 4,  // 2005-2010
    3, 4, 4, 3, 3, 3, 3, 3, 3, 3,  3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 4, 4, 4,  // 2011-2016
    4, 4, 4, 4, 4, 5, 5, 5, 6, 6,  5, 5, 5, 5, 3, 3, 3, 3, 3, 3, 3, 4, 5, 6,  // 2017-2022
    7, 7, 7, 8, 8, 8, 0,                                                      // 2023-2024 Q2
};

// The first table quarter, January-March 1993, as a quarter index from 1980.
constexpr int kFirstQuarterIndex = (1993 - 1980) * 4;
constexpr int kLastQuarter = RateTable::QuarterCount - 1;

int BuiltInCount() {
  int count = 0;
  while (count < static_cast<int>(std::size(kBuiltInRates)) && kBuiltInRates[count] > 0.0) ++count;
  return count;
}

double DecodeRate(const unsigned char* bytes) {
  std::uint64_t bits = 0;
  for (int i = 7; i >= 0; --i) bits = bits << 8 | bytes[i];
  double rate;
  std::memcpy(&rate, &bits, sizeof rate);
  return rate;
}

void EncodeRate(double rate, unsigned char* bytes) {
  std::uint64_t bits;
  std::memcpy(&bits, &rate, sizeof bits);
  for (int i = 0; i < 8; ++i) bytes[i] = static_cast<unsigned char>(bits >> (8 * i));
}

// Reads up to the file's 1,024 bytes into `rates`. A short file fills only
// the first rates; a value cut off by the end of the file, and a value that
// is not a finite number, are taken as no rate. An unreadable file gives
// nothing.
void ReadRateFile(const std::string& path, double* rates) {
  const int fd = platform::OpenForRead(path);
  if (fd < 0) return;
  unsigned char image[RateTable::FileBytes];
  const long read = platform::ReadFile(fd, image, sizeof image);
  platform::CloseFile(fd);
  for (long i = 0; i + 8 <= read; i += 8) {
    const double rate = DecodeRate(image + i);
    rates[i / 8] = std::isfinite(rate) ? rate : 0.0;
  }
}

}  // namespace

RateTable::RateTable() : Folder(UserFolderText()) {
  Reload();
}

int RateTable::Reload() {
  std::fill(std::begin(Rates), std::end(Rates), 0.0);
  ReadRateFile(FilePath(), Rates);
  // The built-in rates always win: the file supplies only the quarters after
  // them (July-December 2024).
  Count = BuiltInCount();
  std::copy_n(kBuiltInRates, Count, Rates);
  return 1;
}

int RateTable::Save() {
  unsigned char image[FileBytes];
  for (int i = 0; i < QuarterCount; ++i) EncodeRate(Rates[i], image + 8 * i);
  return platform::WriteFileAtomically(FilePath(), image, sizeof image) ? 1 : 0;
}

int RateTable::QuarterOfDate(Date date) {
  if (date.Serial == 0) return 0;
  if (!date.IsValid()) return kLastQuarter;  // no date sorts after every date
  return std::clamp(date.QuarterIndex() - kFirstQuarterIndex, 0, kLastQuarter);
}

Date RateTable::QuarterEndOfIndex(int i) {
  if (i >= QuarterCount) return Date();
  return Date::QuarterEnd(kFirstQuarterIndex + std::max(i, 0));
}

double RateTable::RateForQuarter(int i) const {
  int j = std::min(i, kLastQuarter);
  while (j > 0 && Rates[j] < 0.009) --j;
  return Rates[std::max(j, 0)];
}

int RateTable::IsMissing(int i) const {
  return i < 0 || i >= QuarterCount || Rates[i] < 0.009 ? 1 : 0;
}

int RateTable::IsMissingForDate(Date date) const {
  if (!(date <= QuarterEndOfIndex(kLastQuarter))) return 1;
  return Rates[QuarterOfDate(date)] < 0.001 ? 1 : 0;
}

int RateTable::HasNoGaps() const {
  for (int i = 0; i < kLastQuarter; ++i) {
    if (!(Rates[i] > 0.0) && Rates[i + 1] > 0.0) return 0;
  }
  return 1;
}

std::string RateTable::FilePath() const {
  return NativePath(Folder + FileName);
}

int FolderExists(const std::string& path) {
  constexpr int kDirectoryAttribute = 16;
  return platform::FolderExists(NativePath(path)) ? kDirectoryAttribute : 0;
}

}  // namespace ledrix
