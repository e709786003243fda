// The IRS's quarterly interest rates: the built-in list and the rate file.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <vector>

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
// A rate below this is no rate.
constexpr double kPresent = 0.009;

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

// A rate read from the file: a value that is not a finite number is no rate.
double FileRate(const unsigned char* bytes) {
  const double rate = DecodeRate(bytes);
  return std::isfinite(rate) ? rate : 0.0;
}

// Reads the file's first 1,024 bytes into `rates` and what follows them,
// quarter by quarter, into `later`. A short file fills only the first rates;
// a value cut off by the end of the file is taken as no rate, and so are the
// later quarters after the last one with a rate, so that the table ends with
// its last known quarter. An unreadable file gives nothing.
void ReadRateFile(const std::string& path, double* rates, std::vector<double>& later) {
  const int fd = platform::OpenForRead(path);
  if (fd < 0) return;
  constexpr long kMostBytes = RateTable::FileBytes + 8L * RateTable::LaterQuarterCapacity;
  std::vector<unsigned char> image(kMostBytes);
  const long read = platform::ReadFile(fd, image.data(), image.size());
  platform::CloseFile(fd);
  for (long i = 0; i + 8 <= read; i += 8) {
    const double rate = FileRate(image.data() + i);
    if (i < RateTable::FileBytes) {
      rates[i / 8] = rate;
    } else {
      later.push_back(rate);
    }
  }
  while (!later.empty() && later.back() < kPresent) later.pop_back();
}

}  // namespace

RateTable::RateTable() : Folder(UserFolderText()) {
  Reload();
}

int RateTable::Reload() {
  std::fill(std::begin(Rates), std::end(Rates), 0.0);
  LaterRates.clear();
  ReadRateFile(FilePath(), Rates, LaterRates);
  // The built-in rates always win: the file supplies only the quarters after
  // them (July 2024 on).
  Count = BuiltInCount();
  std::copy_n(kBuiltInRates, Count, Rates);
  return 1;
}

int RateTable::Save() {
  int quarters = LastQuarter() + 1;
  while (quarters > QuarterCount && OwnRate(quarters - 1) < kPresent) --quarters;
  std::vector<unsigned char> image(8 * static_cast<size_t>(quarters));
  for (int i = 0; i < quarters; ++i) EncodeRate(OwnRate(i), image.data() + 8 * i);
  return platform::WriteFileAtomically(FilePath(), image.data(), image.size()) ? 1 : 0;
}

double RateTable::OwnRate(int i) const {
  if (i < 0 || i > LastQuarter()) return 0.0;
  return i < QuarterCount ? Rates[i] : LaterRates[i - QuarterCount];
}

int RateTable::SetRate(int i, double percent) {
  if (i < 0 || i >= QuarterCount + LaterQuarterCapacity) return 0;
  if (i < QuarterCount) {
    Rates[i] = percent;
  } else {
    if (i > LastQuarter()) LaterRates.resize(i - QuarterCount + 1, 0.0);
    LaterRates[i - QuarterCount] = percent;
  }
  return 1;
}

int RateTable::QuarterOfDate(Date date, int lastQuarter) {
  if (date.Serial == 0) return 0;
  if (!date.IsValid()) return lastQuarter;  // no date sorts after every date
  return std::clamp(date.QuarterIndex() - kFirstQuarterIndex, 0, lastQuarter);
}

Date RateTable::QuarterEndOfIndex(int i, int lastQuarter) {
  if (i > lastQuarter) return Date();
  return Date::QuarterEnd(kFirstQuarterIndex + std::max(i, 0));
}

int RateTable::RateSourceQuarter(int i) const {
  int j = std::min(i, LastQuarter());
  while (j > 0 && OwnRate(j) < kPresent) --j;
  return std::max(j, 0);
}

double RateTable::RateForQuarter(int i) const {
  return OwnRate(RateSourceQuarter(i));
}

int RateTable::IsMissing(int i) const {
  return OwnRate(i) < kPresent ? 1 : 0;
}

int RateTable::IsMissingForDate(Date date) const {
  const int last = LastQuarter();
  if (!(date <= QuarterEndOfIndex(last, last))) return 1;
  return OwnRate(QuarterOfDate(date, last)) < 0.001 ? 1 : 0;
}

int RateTable::HasNoGaps() const {
  for (int i = 0; i < LastQuarter(); ++i) {
    if (!(OwnRate(i) > 0.0) && OwnRate(i + 1) > 0.0) return 0;
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
