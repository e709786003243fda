// The holiday lookup, on every day of 2005 (365 questions an iteration): a
// calendar of one's own, which searches its entries as they stand, against
// the shared calendar, which answers from its index.
//
//   ledrix_bench --benchmark_filter=IsHoliday
#include <benchmark/benchmark.h>

#include "ledrix/ledrix.h"

namespace {

using ledrix::Date;
using ledrix::Holiday;

void AskEveryDayOf2005(benchmark::State& state, const Holiday& calendar) {
  const Date first(1, 1, 5);
  for (auto _ : state) {
    int holidays = 0;
    for (int day = 0; day < 365; ++day) holidays += calendar.IsHoliday(first + day);
    benchmark::DoNotOptimize(holidays);
  }
  state.SetItemsProcessed(state.iterations() * 365);
}

void IsHolidayOwnCalendar(benchmark::State& state) {
  const Holiday calendar;
  AskEveryDayOf2005(state, calendar);
}

void IsHolidaySharedCalendar(benchmark::State& state) {
  AskEveryDayOf2005(state, *Holiday::Shared());
}

BENCHMARK(IsHolidayOwnCalendar);
BENCHMARK(IsHolidaySharedCalendar);

}  // namespace
