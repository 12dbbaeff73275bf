#pragma once
// The one place where numbers become text and text becomes numbers. Everything the program
// shows or writes goes through here, so "." is the decimal separator whatever the locale.

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

namespace rvk {

// One argument of formatText: an integer, a floating-point number or a text.
class FormatArg
{
public:
    enum class Kind { Integer, Real, Text };

    FormatArg(int value) : mKind(Kind::Integer), mInteger(value) {}
    FormatArg(long value) : mKind(Kind::Integer), mInteger(value) {}
    FormatArg(long long value) : mKind(Kind::Integer), mInteger(value) {}
    FormatArg(unsigned value) : mKind(Kind::Integer), mInteger(value) {}
    FormatArg(unsigned long value) : mKind(Kind::Integer), mInteger(static_cast<std::int64_t>(value)) {}
    FormatArg(double value) : mKind(Kind::Real), mReal(value) {}
    FormatArg(const char *text) : mKind(Kind::Text), mText(text) {}
    FormatArg(std::string_view text) : mKind(Kind::Text), mText(text) {}
    FormatArg(const std::string &text) : mKind(Kind::Text), mText(text) {}

    Kind kind() const { return mKind; }
    std::int64_t integer() const { return mKind == Kind::Real ? static_cast<std::int64_t>(mReal) : mInteger; }
    double real() const { return mKind == Kind::Integer ? static_cast<double>(mInteger) : mReal; }
    std::string_view text() const { return mText; }

private:
    Kind mKind;
    std::int64_t mInteger = 0;
    double mReal = 0.0;
    std::string_view mText;
};

// printf-style formatting with these readings:
//  - %d, %i (with width, "-" flag and ".N" precision padding with zeros: "%.4d" -> "0007");
//  - %f with width and precision;
//  - %e with width and precision, the precision counting significant digits and the exponent
//    written as "E", sign and three digits: "%8.2e" of 0.00012 -> " 1.2E-004";
//  - %g: general format, the shortest text with up to 15 significant digits;
//  - %s with width (padding on the left, "-" pads on the right) and precision (cut to N);
//  - %% for a percent sign.
// A missing argument formats as nothing; surplus arguments are ignored.
std::string formatText(std::string_view pattern, std::initializer_list<FormatArg> args);

// A number in general format: shortest text with up to 15 significant digits ("12.5", "0.1",
// "1E-5" style exponents as "1E-5" for very small or large magnitudes).
std::string formatGeneral(double value);

// Appends "%.Nf" of value (decimals 0 to 6) to out without a formatting call: the same text
// formatText writes, digit for digit, for files of millions of numbers.
void appendFixed(std::string &out, double value, int decimals);

// A decimal number with "." as separator, optional sign and exponent, surrounding blanks
// allowed. Returns nothing for any other text, the empty text included.
std::optional<double> parseDecimal(std::string_view text);

// A whole number (optional sign, surrounding blanks allowed); nothing for any other text.
std::optional<long long> parseInteger(std::string_view text);

// Rounds halves to the even neighbour, as the drawings and reports do. Values beyond the range
// of long long saturate; NaN gives 0.
long long roundHalfEven(double value);

} // namespace rvk
