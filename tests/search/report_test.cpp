#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "search.h"

namespace tapsmith {
namespace {

MatchRecord Record(const char* r1, const char* r2, const char* r3, int serial, double vout,
                   double deviation) {
  MatchRecord record{};
  std::snprintf(record.r1, kNameSize, "%s", r1);
  std::snprintf(record.r2, kNameSize, "%s", r2);
  std::snprintf(record.r3, kNameSize, "%s", r3);
  record.serial = serial;
  record.vout = vout;
  record.deviation = deviation;
  return record;
}

std::string Line(const MatchRecord& record, int configuration, bool hasTypical) {
  char buffer[kLineBufferSize];
  int length = FormatReportLine(record, configuration, hasTypical, buffer);
  EXPECT_EQ(length, static_cast<int>(std::strlen(buffer)));
  return buffer;
}

TEST(ReportLine, TheEightFormats) {
  MatchRecord parallel = Record("1.2k", "1.3k", "220k", 0, 1.349972, -0.00207);
  MatchRecord serial = Record("1.2k", "1.3k", "220k", 1, 1.349972, -0.00207);
  EXPECT_EQ(Line(parallel, 0, true), "1.2k + (1.3k // 220k) = 1.349972 (-0.002%)\r\n");
  EXPECT_EQ(Line(parallel, 2, false), "1.2k + (1.3k // 220k) = 1.349972\r\n");
  EXPECT_EQ(Line(serial, 0, true), "1.2k + (1.3k + 220k) = 1.349972 (-0.002%)\r\n");
  EXPECT_EQ(Line(serial, 2, false), "1.2k + (1.3k + 220k) = 1.349972\r\n");
  EXPECT_EQ(Line(parallel, 1, true), "(1.3k // 220k) + 1.2k = 1.349972 (-0.002%)\r\n");
  EXPECT_EQ(Line(parallel, 3, false), "(1.3k // 220k) + 1.2k = 1.349972\r\n");
  EXPECT_EQ(Line(serial, 3, true), "(1.3k + 220k) + 1.2k = 1.349972 (-0.002%)\r\n");
  EXPECT_EQ(Line(serial, 1, false), "(1.3k + 220k) + 1.2k = 1.349972\r\n");
}

TEST(ReportLine, OverlongLineIsCutButStaysWhole) {
  MatchRecord record = Record("12345678901234567890123", "12345678901234567890123",
                              "12345678901234567890123", 0, 1e150, 1e150);
  std::string line = Line(record, 0, true);
  EXPECT_EQ(line.size(), static_cast<size_t>(kLineBufferSize - 1));
  EXPECT_EQ(line.substr(line.size() - 2), "\r\n");
  EXPECT_EQ(line.find('\r'), line.size() - 2);
}

}  // namespace
}  // namespace tapsmith
