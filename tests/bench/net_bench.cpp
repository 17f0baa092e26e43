#include <benchmark/benchmark.h>

#include <string>

#include "net/ReportUrl.h"

namespace {

void BM_BuildReportUrl200(benchmark::State& state) {
  // The size of a typical "checkresult" event.
  std::string payload = R"({"msgtype":"fixtool","action":"checkresult","um":"2D547A1E4FD99955B59722B0E08E1889",)"
                        R"("tt":"1796860000","safesoft":"0","helper":"13","fp":"1","guid":"{D0306ED6-3393-471c-A418-6B8D2BD4308E}"})";
  payload.resize(200, ' ');
  payload.back() = '}';
  for (auto _ : state)
    benchmark::DoNotOptimize(BuildReportUrl("https://stat.quorvane.example", "fixtool", payload, "1796860000"));
}
BENCHMARK(BM_BuildReportUrl200);

}  // namespace
