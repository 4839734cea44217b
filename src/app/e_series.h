// The IEC 60063 resistor series by their three-digit mantissas, and the
// names the stock lists give their values.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace tapsmith {

constexpr int kE192Count = 192;

/// The 192 mantissas of E192, 100 to 988; E96 is every second of them and E48
/// every fourth, starting with 100.
extern const int16_t kE192Mantissas[kE192Count];

/// The name of mantissa x 10^exponent ohms (mantissa 100..999) as the
/// built-in lists write their values, without trailing zeros: below 1000
/// the ohms ("10", "10.2", "1.02", "0.102"), from 1000 thousands with "k"
/// ("1k", "1.02k", "976k"), from 1 000 000 millions with "M" ("1M").
void FormatSeriesName(int mantissa, int exponent, char* out, size_t size);

// Where series values are made: their names stay short, and no real
// resistor lies outside.
constexpr double kSeriesLowest = 1e-3;
constexpr double kSeriesHighest = 1e12;

/// Counts the values of the series made of every `step`-th E192 mantissa
/// (4: E48, 2: E96, 1: E192) from `minOhms` to `maxOhms`, both included
/// (a bound within 1e-9 of a value counts as that value, however it was
/// written), ascending; appends each one's name and CR LF to `*text` when
/// given. The bounds must lie within kSeriesLowest..kSeriesHighest.
int SeriesValues(int step, double minOhms, double maxOhms, std::string* text);

}  // namespace tapsmith
