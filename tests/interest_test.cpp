// Interest: the IRS's quarterly rates and their file, the daily-compounded
// segments of the interest chain worked by hand, and a whole run of return
// penalties and interest as the penalty summary adds it up. Chain links are
// byte-packed: their fields are compared through copies.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "ledrix/ledrix.h"
#include "support/returns.h"

namespace ledrix {
namespace {

namespace fs = std::filesystem;
using testing::D;

// ---- the rate table ------------------------------------------------------------------

fs::path LibraryFolder() {
  return fs::path(std::getenv("AppData")) / "Ordane Software" / "Ledrix";
}
fs::path RateFile() {
  return LibraryFolder() / RateTable::FileName;
}

/// A rate file of `count` rates: quarter i holds rateOf(i), little-endian.
std::string RateImage(int count, double (*rateOf)(int)) {
  std::string image;
  for (int i = 0; i < count; ++i) {
    const double rate = rateOf(i);
    unsigned char bytes[8];
    std::memcpy(bytes, &rate, 8);  // the test machine is little-endian
    image.append(reinterpret_cast<const char*>(bytes), 8);
  }
  return image;
}

double NinetyNineThenEights(int i) {
  return i < 126 ? 99.0 : 8.5 + (i - 126) * 0.5;  // 126: 8.5, 127: 9.0
}

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

class RateFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::remove_all(LibraryFolder());
    fs::create_directories(LibraryFolder());
  }
  void TearDown() override {
    fs::permissions(LibraryFolder(), fs::perms::owner_all, fs::perm_options::add);
    fs::remove_all(LibraryFolder());
  }
  static void Write(const std::string& bytes) {
    std::ofstream(RateFile(), std::ios::binary) << bytes;
  }
};

TEST(RateTable, QuartersAndTheBuiltInRates) {
  const struct {
    const char* date;
    int quarter;
  } quarters[] = {{"02/15/93", 0},   {"03/31/93", 0},   {"04/01/93", 1}, {"05/15/05", 49},
                  {"12/31/24", 127}, {"06/30/27", 127}, {"01/02/80", 0}};
  for (const auto& q : quarters)
    EXPECT_EQ(RateTable::QuarterOfDate(D(q.date)), q.quarter) << q.date;
  EXPECT_EQ(RateTable::QuarterOfDate(Date()), 127);  // no date sorts last

  EXPECT_EQ(RateTable::QuarterEndOfIndex(-3), D("03/31/93"));
  EXPECT_EQ(RateTable::QuarterEndOfIndex(1), D("06/30/93"));
  EXPECT_EQ(RateTable::QuarterEndOfIndex(127), D("12/31/24"));
  EXPECT_FALSE(RateTable::QuarterEndOfIndex(128).IsValid());

  const RateTable rates;  // no rate file
  EXPECT_EQ(rates.Count, 126);
  EXPECT_EQ(rates.RateForQuarter(0), 7.0);
  EXPECT_EQ(rates.RateForQuarter(9), 10.0);   // 1995 Q2
  EXPECT_EQ(rates.RateForQuarter(49), 6.0);   // 2005 Q2
  EXPECT_EQ(rates.RateForQuarter(125), 8.0);  // 2024 Q2, the last built in
  EXPECT_EQ(rates.RateForQuarter(126), 8.0);  // none: the latest earlier rate
  EXPECT_EQ(rates.RateForQuarter(500), 8.0);
  EXPECT_EQ(rates.IsMissing(125), 0);
  EXPECT_EQ(rates.IsMissing(126), 1);
  EXPECT_EQ(rates.IsMissing(128), 1);
  EXPECT_EQ(rates.IsMissingForDate(D("08/01/24")), 1);
  EXPECT_EQ(rates.IsMissingForDate(D("08/01/23")), 0);
  EXPECT_EQ(rates.IsMissingForDate(D("01/15/25")), 1);  // beyond the table
  EXPECT_EQ(rates.HasNoGaps(), 1);
  RateTable gap;
  gap.Rates[40] = 0.0;
  EXPECT_EQ(gap.HasNoGaps(), 0);
  EXPECT_EQ(gap.RateForQuarter(40), gap.Rates[39]);
}

// The file supplies only what lies beyond the built-in list: the third and
// fourth quarters of 2024.
TEST_F(RateFileTest, TheFileSuppliesOnlyTheQuartersAfterTheBuiltInList) {
  const struct {
    int bytes;
    double q126;
    double q127;
  } cases[] = {
      {1024, 8.5, 9.0},  // whole
      {1016, 8.5, 0.0},  // short: the last rate missing
      {1020, 8.5, 0.0},  // a value cut off by the end is no rate
      {0, 0.0, 0.0},
  };
  const std::string whole = RateImage(128, NinetyNineThenEights);
  for (const auto& c : cases) {
    Write(whole.substr(0, c.bytes));
    const RateTable rates;
    EXPECT_EQ(rates.RateForQuarter(49), 6.0) << c.bytes;  // 99.0 in the file changes nothing
    EXPECT_EQ(rates.Rates[126], c.q126) << c.bytes;
    EXPECT_EQ(rates.Rates[127], c.q127) << c.bytes;
    EXPECT_EQ(rates.IsMissingForDate(D("08/01/24")), c.q126 > 0.0 ? 0 : 1) << c.bytes;
    EXPECT_EQ(ReadAll(RateFile()), whole.substr(0, c.bytes));  // reading never rewrites
    EXPECT_EQ(rates.LastQuarter(), 127) << c.bytes;            // the table ends with 2024 Q4
  }
  // A rate that is not a number is no rate.
  Write(RateImage(127, [](int i) { return i < 126 ? 0.0 : std::nan(""); }));
  EXPECT_EQ(RateTable().Rates[126], 0.0);
}

// 2024 Q3 and Q4 at 8%, 2025 Q1 to Q4 at 7%, then a quarter without a rate.
double EightsThenSevens(int i) {
  return i < 126 ? 0.0 : i < 128 ? 8.0 : i < 132 ? 7.0 : 0.0;
}

// The quarters after 2024 Q4 follow the present form's 1,024 bytes; the table
// ends with the last of them that has a rate.
TEST_F(RateFileTest, LaterQuartersFollowThePresentForm) {
  Write(RateImage(133, EightsThenSevens));
  RateTable rates;
  EXPECT_EQ(rates.LastQuarter(), 131);  // 2025 Q4; the trailing no-rate is dropped
  EXPECT_EQ(RateTable::QuarterOfDate(D("08/01/25"), rates.LastQuarter()), 130);
  EXPECT_EQ(RateTable::QuarterOfDate(D("08/01/25")), 127);  // a table of the present form
  EXPECT_EQ(RateTable::QuarterOfDate(D("01/02/26"), rates.LastQuarter()), 131);
  EXPECT_EQ(RateTable::QuarterEndOfIndex(131, rates.LastQuarter()), D("12/31/25"));
  EXPECT_FALSE(RateTable::QuarterEndOfIndex(132, rates.LastQuarter()).IsValid());
  EXPECT_EQ(rates.RateForQuarter(129), 7.0);
  EXPECT_EQ(rates.RateForQuarter(500), 7.0);
  EXPECT_EQ(rates.IsMissingForDate(D("08/01/25")), 0);
  EXPECT_EQ(rates.IsMissingForDate(D("01/02/26")), 1);  // beyond the table
  EXPECT_EQ(rates.IsMissing(132), 1);

  // 2026 Q2 set, 2026 Q1 left without: Save writes through 2026 Q2, and
  // 2026 Q1 takes 2025 Q4's rate.
  EXPECT_EQ(rates.SetRate(133, 6.5), 1);
  EXPECT_EQ(rates.SetRate(RateTable::QuarterCount + RateTable::LaterQuarterCapacity, 6.0), 0);
  EXPECT_EQ(rates.Save(), 1);
  EXPECT_EQ(fs::file_size(RateFile()), 8u * 134);
  RateTable reread;
  EXPECT_EQ(reread.LastQuarter(), 133);
  EXPECT_EQ(reread.RateSourceQuarter(132), 131);
  EXPECT_EQ(reread.RateForQuarter(132), 7.0);
  EXPECT_EQ(reread.HasNoGaps(), 0);
  // With no later rate left the file takes its present form again.
  for (double& rate : reread.LaterRates) rate = 0.0;
  EXPECT_EQ(reread.Save(), 1);
  EXPECT_EQ(fs::file_size(RateFile()), 1024u);
}

TEST_F(RateFileTest, SaveReplacesTheFileWhole) {
  Write(RateImage(128, NinetyNineThenEights));
  struct stat before {};
  ::stat(RateFile().c_str(), &before);
  RateTable rates;
  rates.Rates[127] = 7.25;
  EXPECT_EQ(rates.Save(), 1);
  struct stat after {};
  ::stat(RateFile().c_str(), &after);
  EXPECT_NE(after.st_ino, before.st_ino);  // a new file renamed into place
  EXPECT_EQ(fs::file_size(RateFile()), 1024u);
  EXPECT_EQ(std::distance(fs::directory_iterator(LibraryFolder()), fs::directory_iterator()), 1);
  rates.Rates[127] = 0.0;
  EXPECT_EQ(rates.Reload(), 1);
  EXPECT_EQ(rates.Rates[127], 7.25);
  EXPECT_EQ(rates.Rates[126], 8.5);
  EXPECT_EQ(rates.Rates[0], 7.0);  // the built-in rate, as saved
}

// Nothing can be read or written: the built-in rates apply and the user's
// file is left as it was.
TEST_F(RateFileTest, UnreadableFolderOrFile) {
  EXPECT_EQ(FolderExists(LibraryFolder().string()), 16);
  EXPECT_EQ(FolderExists(RateTable().Folder), 16);  // the backslash form
  EXPECT_EQ(FolderExists((LibraryFolder() / "none").string()), 0);

  // The rate file's name taken by a folder: nothing reads, nothing saves.
  fs::create_directory(RateFile());
  RateTable rates;
  EXPECT_EQ(rates.Count, 126);
  EXPECT_EQ(rates.Rates[126], 0.0);
  EXPECT_EQ(rates.Save(), 0);
  EXPECT_TRUE(fs::is_directory(RateFile()));
  fs::remove(RateFile());

  // The per-user folder is a file.
  rates.Folder = (LibraryFolder() / "plain\\").string();
  std::ofstream(LibraryFolder() / "plain") << "x";
  EXPECT_EQ(FolderExists(rates.Folder), 0);
  EXPECT_EQ(rates.Save(), 0);
  EXPECT_EQ(rates.Reload(), 1);
  EXPECT_EQ(rates.RateForQuarter(125), 8.0);

  // A folder without permissions (only where permissions bind: not as root).
  if (::geteuid() != 0) {
    const std::string kept = RateImage(128, NinetyNineThenEights);
    Write(kept);
    fs::permissions(LibraryFolder(), fs::perms::none);
    RateTable locked;
    EXPECT_EQ(locked.Rates[126], 0.0);
    EXPECT_EQ(locked.Save(), 0);
    fs::permissions(LibraryFolder(), fs::perms::owner_all);
    EXPECT_EQ(ReadAll(RateFile()), kept);
  }
}

// ---- the chain ------------------------------------------------------------------------

struct Link {
  int kind;
  const char* start;
  const char* end;
  double principal;
  double rate;
  double interest;
  double balance;
};

void ExpectChain(const InterestEvent& first, const std::vector<Link>& links) {
  const InterestEvent* e = &first;
  for (const Link& l : links) {
    ASSERT_NE(e, nullptr) << l.end;
    EXPECT_EQ(int{e->Kind}, l.kind) << l.end;
    EXPECT_EQ(e->StartDate, D(l.start)) << l.end;
    EXPECT_EQ(e->EndDate, D(l.end)) << l.end;
    EXPECT_NEAR(e->Principal, l.principal, 0.001) << l.end;
    EXPECT_NEAR(e->Rate, l.rate, 1e-12) << l.end;
    EXPECT_NEAR(e->Interest, l.interest, 0.001) << l.end;
    EXPECT_NEAR(e->Balance, l.balance, 0.001) << l.end;
    e = e->Next;
  }
  EXPECT_EQ(e, nullptr);
}

/// A Form 941 quarter whose tax is unpaid at the due date, computed to
/// `computeDate` with `inputs`, and its chain.
struct Interest {
  C941Compute compute;
  CRunTimePenalties run;
  InterestEvent first;

  Interest(int quarter, testing::Entries entries, const char* computeDate,
           const CPenalties& inputs = CPenalties()) {
    testing::Prepare(compute, quarter, 0, entries, computeDate);
    CPenalties own = inputs;
    compute.SetPenalties(own);
    RunReturnPenalties(compute, &own, nullptr, run, first);
  }
};

TEST(InterestEvent, OneSegmentByHand) {
  // $10,000.00 from 30 April to 30 June 2010 at 4%: 61 days,
  // (1 + 0.04 / 365)^61 - 1 = 0.006706957, 10,000.00 x that = 67.07.
  InterestEvent e;
  e.StartDate = D("04/30/10");
  e.EndDate = D("06/30/10");
  e.Principal = 10000.00;
  e.Rate = 0.04;
  EXPECT_NEAR(e.Compute(), 67.07, 1e-9);
  EXPECT_NEAR(e.Factor, 0.006706957, 5e-10);
  // In a year divisible by 4 the day is 1/366 of the year: 61 days to
  // 30 June 2008, (1 + 0.04 / 366)^61 - 1 = 0.006688572 -> 66.89.
  e.StartDate = D("04/30/08");
  e.EndDate = D("06/30/08");
  EXPECT_NEAR(e.Compute(), 66.89, 1e-9);
  // A balance below zero earns nothing.
  e.Principal = -500.00;
  EXPECT_EQ(e.Compute(), 0.0);
}

TEST(InterestChain, TaxUnpaidAcrossAQuarterEnd) {
  // 2010 Q1, due 30 April 2010, computed to 31 July 2010. The first segment
  // ends on the quarter's last day, 30 June (61 days, 67.07, above); the
  // next runs 31 days at 4% on 10,067.07: factor 0.003402851 -> 34.26.
  Interest i(120, {{LIABILITY, "03/15/10", 10000.00}}, "07/31/10");
  ExpectChain(i.first, {{6, "04/30/10", "04/30/10", 10000.00, 0.04, 0.0, 10000.00},
                        {4, "04/30/10", "06/30/10", 10000.00, 0.04, 67.07, 0.0},
                        {5, "06/30/10", "07/31/10", 10067.07, 0.04, 34.26, 0.0}});
  EXPECT_NEAR(i.first.TotalAllInterest(), 101.33, 0.001);
  EXPECT_EQ(i.compute.MissingRateFlag, 0);
}

TEST(InterestChain, PaymentsARateChangeAndALeapYear) {
  // 2007 Q4, due Thursday 31 January 2008; 2008 is divisible by 4 (366
  // days). 7% in 2008 Q1, 6% in Q2.
  //   31 Jan - 14 Mar, 43 days at 7%: 10,000.00 x 0.008257161 = 82.57; 4,000.00 paid.
  //   14 Mar - 31 Mar, 17 days: 6,082.57 x 0.003256346 = 19.81.
  //   31 Mar - 15 Apr, 15 days at 6%: 6,102.38 x 0.002461840 = 15.02; 7,000.00
  //     paid, of which only the 6,000.00 of tax left counts.
  //   15 Apr - 30 Apr: 117.40 x 0.002461840 = 0.29; the payment of 20 April
  //     no longer ends a segment: the tax is paid.
  Interest i(111,
             {{LIABILITY, "12/14/07", 10000.00},
              {DEPOSIT, "03/14/08", 4000.00},
              {DEPOSIT, "04/15/08", 7000.00},
              {DEPOSIT, "04/20/08", 500.00}},
             "04/30/08");
  ExpectChain(i.first, {{6, "01/31/08", "01/31/08", 10000.00, 0.07, 0.0, 10000.00},
                        {1, "01/31/08", "03/14/08", 10000.00, 0.07, 82.57, 4000.00},
                        {4, "03/14/08", "03/31/08", 6082.57, 0.07, 19.81, 0.0},
                        {1, "03/31/08", "04/15/08", 6102.38, 0.06, 15.02, 6000.00},
                        {5, "04/15/08", "04/30/08", 117.40, 0.06, 0.29, 0.0}});
}

TEST(InterestChain, EdgesOfTheChain) {
  // Computed to the due date: the first link and one fresh link, no interest.
  Interest early(120, {{LIABILITY, "03/15/10", 10000.00}}, "04/30/10");
  ExpectChain(early.first, {{6, "04/30/10", "04/30/10", 10000.00, 0.04, 0.0, 10000.00},
                            {0, nullptr, nullptr, 0.0, 0.0, 0.0, 0.0}});

  // COBRA premium assistance after the due date ends no segment, and the
  // payment after it still counts.
  Interest cobra(120,
                 {{LIABILITY, "03/15/10", 10000.00},
                  {COBRA_PMT, "05/10/10", 300.00},
                  {DEPOSIT, "05/20/10", 10000.00}},
                 "05/31/10");
  const InterestEvent* afterDue = cobra.first.Next;
  ASSERT_NE(afterDue, nullptr);
  EXPECT_EQ(int{afterDue->Kind}, INTEREST_PAYMENT);
  EXPECT_EQ(afterDue->EndDate, D("05/20/10"));

  // Due in 2025, beyond the table: no segment runs back to the table's last
  // quarter end; the latest rate (8%, 2024 Q2) is used and said missing.
  Interest late(180, {{LIABILITY, "01/15/25", 10000.00}}, "05/30/25");
  ExpectChain(late.first, {{6, "04/30/25", "04/30/25", 10000.00, 0.08, 0.0, 10000.00},
                           {5, "04/30/25", "05/30/25", 10000.00, 0.08, 65.96, 0.0}});
  EXPECT_EQ(late.compute.MissingRateFlag, 1);

  // A failure-to-pay notice entered before the due date: its amount enters
  // the balance at the start, no interest runs backwards.
  CPenalties inputs;
  inputs.CC6651A2.Active = 1;
  inputs.CC6651A2.Notices[0] = D("04/20/10");
  Interest backwards(120, {{LIABILITY, "03/15/10", 10000.00}}, "05/31/10", inputs);
  const InterestEvent* notice = backwards.first.Next;
  ASSERT_NE(notice, nullptr);
  EXPECT_EQ(int{notice->Kind}, INTEREST_FAILURE_TO_PAY);
  EXPECT_EQ(notice->EndDate, D("04/30/10"));
  EXPECT_NEAR(notice->Balance, 50.00, 0.001);  // 0.5% of the first month
}

TEST(InterestEvent, TenThousandLinksFreedWithoutRecursion) {
  auto first = std::make_unique<InterestEvent>();
  InterestEvent* link = first.get();
  for (int i = 0; i < 10000; ++i) {
    link = link->SetNext(nullptr);
    ASSERT_NE(link, nullptr);
    link->Interest = 0.01;
  }
  EXPECT_NEAR(first->TotalAllInterest(), 100.00, 1e-6);
  first->FreeChain();
  EXPECT_EQ(static_cast<InterestEvent*>(first->Next), nullptr);
  for (int i = 0; i < 10000; ++i) link = (i ? link : first.get())->SetNext(nullptr);
  first.reset();  // the destructor frees the other 10,000 links
}

// 2024 Q4, $10,000.00 unpaid from the due date, Friday 31 January 2025, to
// 31 December 2025. A rate file of the present form, or none, gives what the
// table always gave: 2024 Q2's 8% all along in one segment of 334 days,
// (1 + 0.08 / 365)^334 - 1 = 0.075942970 -> 759.43. With the rates of 2025
// at 7% the segments end at each quarter's end:
//   31 Jan - 31 Mar, 59 days: 10,000.00 x 0.011378229 = 113.78
//   31 Mar - 30 Jun, 91 days: 10,113.78 x 0.017603529 = 178.04
//   30 Jun - 30 Sep, 92 days: 10,291.82 x 0.017798686 = 183.18
//   30 Sep - 31 Dec, 92 days: 10,475.00 x 0.017798686 = 186.44, 661.44 in all.
TEST_F(RateFileTest, InterestAcross2025) {
  const std::vector<Link> atEight = {{6, "01/31/25", "01/31/25", 10000.00, 0.08, 0.0, 10000.00},
                                     {5, "01/31/25", "12/31/25", 10000.00, 0.08, 759.43, 0.0}};
  const std::vector<Link> atSeven = {{6, "01/31/25", "01/31/25", 10000.00, 0.07, 0.0, 10000.00},
                                     {4, "01/31/25", "03/31/25", 10000.00, 0.07, 113.78, 0.0},
                                     {4, "03/31/25", "06/30/25", 10113.78, 0.07, 178.04, 0.0},
                                     {4, "06/30/25", "09/30/25", 10291.82, 0.07, 183.18, 0.0},
                                     {5, "09/30/25", "12/31/25", 10475.00, 0.07, 186.44, 0.0}};
  const struct {
    int quarters;  // in the rate file; 0: no file
    const std::vector<Link>& chain;
    int missing;
  } cases[] = {{0, atEight, 1}, {128, atEight, 1}, {132, atSeven, 0}};
  for (const auto& c : cases) {
    fs::remove(RateFile());
    if (c.quarters) Write(RateImage(c.quarters, EightsThenSevens));
    Interest i(179, {{LIABILITY, "12/15/24", 10000.00}}, "12/31/25");
    ExpectChain(i.first, c.chain);
    EXPECT_EQ(i.compute.MissingRateFlag, c.missing) << c.quarters;
  }
}

// A whole run: 2010 Q1, $10,000.00 due 30 April 2010, 4,000.00 deposited
// 15 June, computed to 30 September 2010. The return was filed 30 July;
// a late-payment notice came 15 July; a deposit notice of 1 July named
// 21 July as the last day to pay, and interest on the additional 5% runs
// from 21 July.
TEST(InterestChain, EveryPenaltyInTheBalance) {
  auto doc = testing::MakeDoc(1, 120, 0,
                              {{LIABILITY, "03/15/10", 10000.00}, {DEPOSIT, "06/15/10", 4000.00}});
  CPenalties& inputs = doc->Penalties;
  inputs.CC6651A1.Active = 1;
  inputs.CC6651A1.DateFiled = D("07/30/10");
  inputs.CC6651A2.Active = 1;
  inputs.CC6651A2.Notices[0] = D("07/15/10");
  inputs.CC6656.Active = 1;
  inputs.CC6656.NoticeDate = D("07/01/10");
  inputs.CC6656.LastDayToPay = D("07/21/10");
  inputs.CC6656.InterestStart = D("07/21/10");
  C941Compute compute;
  compute.SetComputeDate(D("09/30/10"));
  compute.SetDueDate(120);
  compute.SetPenalties(inputs);
  compute.BasicCompute(doc.get(), 3, 0);
  // Deposit penalty: 4,000.00 paid 61 days after 15 April at 10% = 400.00;
  // 6,000.00 unpaid after the last day to pay at 15% = 900.00.
  ASSERT_NEAR(compute.GetPenalty(), 1300.00, 0.001);

  CRunTimePenalties run;
  InterestEvent first;
  doc->MissingRateFlag = 7;
  RunReturnPenalties(compute, &inputs, doc.get(), run, first);
  EXPECT_EQ(doc->MissingRateFlag, 0);
  EXPECT_NEAR(run.AmountSubject, 10000.00, 0.001);
  // Additional 5% of the 6,000.00 unpaid on 21 July: 300.00.
  EXPECT_NEAR(run.Additional5Penalty, 300.00, 0.001);
  // Failure to pay: 50 + 50 + 30 + 30 + 30 = 190.00; at 15 July the first
  // three months, 130.00, are assessed.
  EXPECT_NEAR(run.FTPPenalty, 190.00, 0.001);
  // Failure to file, three months: (500 - 50) + (500 - 50) + (500 - 30) = 1,370.00.
  EXPECT_NEAR(run.FTFPenalty, 1370.00, 0.001);

  // At 4% all along. The failure to file enters on the due date; the deposit
  // penalty less the additional 5% (1,000.00) on its notice date, the
  // additional 5% from 21 July.
  //   30 Apr - 15 Jun, 46 days: 11,370.00 x 0.005053546 = 57.46
  //   15 Jun - 30 Jun, 15 days:  7,427.46 x 0.001645097 = 12.22
  //   30 Jun -  1 Jul,  1 day:   7,439.68 x 0.000109589 =  0.82
  //    1 Jul - 15 Jul, 14 days:  8,440.50 x 0.001535340 = 12.96
  //   15 Jul - 21 Jul,  6 days:  8,583.46 x 0.000657714 =  5.65
  //   21 Jul - 30 Sep, 71 days:  8,889.11 x 0.007810742 = 69.43
  ExpectChain(first, {{6, "04/30/10", "04/30/10", 10000.00, 0.04, 0.0, 10000.00},
                      {7, "04/30/10", "04/30/10", 10000.00, 0.04, 0.0, 1370.00},
                      {1, "04/30/10", "06/15/10", 11370.00, 0.04, 57.46, 4000.00},
                      {4, "06/15/10", "06/30/10", 7427.46, 0.04, 12.22, 0.0},
                      {2, "06/30/10", "07/01/10", 7439.68, 0.04, 0.82, 1000.00},
                      {3, "07/01/10", "07/15/10", 8440.50, 0.04, 12.96, 130.00},
                      {8, "07/15/10", "07/21/10", 8583.46, 0.04, 5.65, 300.00},
                      {5, "07/21/10", "09/30/10", 8889.11, 0.04, 69.43, 0.0}});

  // Penalty total 1,300.00 + 1,370.00 + 190.00 = 2,860.00; interest 158.54;
  // 6,000.00 of tax unpaid: 9,018.54 in all.
  const PenaltySummary s = SummarizePenalties(compute, &inputs, run, first);
  EXPECT_NEAR(s.DepositPenalty, 1000.00, 0.001);
  EXPECT_NEAR(s.Additional5Penalty, 300.00, 0.001);
  EXPECT_NEAR(s.PenaltyTotal, 2860.00, 0.001);
  EXPECT_NEAR(s.InterestTotal, 158.54, 0.001);
  EXPECT_NEAR(s.UnpaidTax, 6000.00, 0.001);
  EXPECT_NEAR(s.GrandTotal, 9018.54, 0.001);
  EXPECT_FALSE(s.Overpaid);

  // Ten days after the notice have not run by 10 July: neither the deposit
  // penalty nor the additional 5% enters the balance.
  compute.SetComputeDate(D("07/10/10"));
  RunReturnPenalties(compute, &inputs, doc.get(), run, first);
  for (const InterestEvent* e = &first; e; e = e->Next) {
    EXPECT_NE(int{e->Kind}, INTEREST_DEPOSIT_PENALTY);
    EXPECT_NE(int{e->Kind}, INTEREST_ADDITIONAL_5);
  }
}

}  // namespace
}  // namespace ledrix
