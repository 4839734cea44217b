// One report line per match.
#include <cstring>

#include "search.h"

namespace tapsmith {

namespace {

// Appends to a line body, never past `limit` characters.
struct LineWriter {
  char* buffer;
  int limit;
  int length;

  void Put(const char* text) {
    while (*text && length < limit) buffer[length++] = *text++;
  }
};

constexpr int kLineEndLength = 2;  // CR LF

}  // namespace

int FormatReportLine(const MatchRecord& match, int configuration, bool hasTypical,
                     char* buffer) {
  // A line must fit the line buffer, CR LF and terminator included. Only an
  // absurd voltage (hundreds of integer digits) makes a longer one; its body
  // is then cut so that the line stays whole, CR LF and all.
  LineWriter line{buffer, kLineBufferSize - 1 - kLineEndLength, 0};
  const char* joint = match.serial ? " + " : " // ";
  char number[kLineBufferSize];
  // R1's leg as the pair is written when R4 joins it; R1 alone otherwise.
  auto putLeg = [&] {
    if (match.r4Mode == R4Mode::None) {
      line.Put(match.r1);
      return;
    }
    line.Put("(");
    line.Put(match.r1);
    line.Put(match.r4Mode == R4Mode::Series ? " + " : " // ");
    line.Put(match.r4);
    line.Put(")");
  };
  if (configuration == 0 || configuration == 2) {
    putLeg();
    line.Put(" + (");
    line.Put(match.r2);
    line.Put(joint);
    line.Put(match.r3);
    line.Put(") = ");
  } else {
    line.Put("(");
    line.Put(match.r2);
    line.Put(joint);
    line.Put(match.r3);
    line.Put(") + ");
    putLeg();
    line.Put(" = ");
  }
  FormatFixed(match.vout, 6, number, sizeof number);
  line.Put(number);
  if (hasTypical) {
    FormatFixed(match.deviation, 3, number, sizeof number);
    line.Put(" (");
    line.Put(number);
    line.Put("%)");
  }
  buffer[line.length++] = '\r';
  buffer[line.length++] = '\n';
  buffer[line.length] = '\0';
  return line.length;
}

}  // namespace tapsmith
