#include "core/textformat.h"

#include <charconv>
#include <cmath>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <vector>

namespace rvk {

namespace {

struct Spec
{
    bool leftAlign = false;
    bool zeroPad = false;
    bool plusSign = false;
    int width = -1;
    int precision = -1;
    char conversion = 0;
};

std::string pad(std::string body, const Spec &spec)
{
    if (spec.width < 0 || static_cast<int>(body.size()) >= spec.width)
        return body;
    const size_t fill = static_cast<size_t>(spec.width) - body.size();
    if (spec.leftAlign)
        return body + std::string(fill, ' ');
    if (spec.zeroPad && spec.conversion != 's') {
        const size_t signLength = (!body.empty() && (body[0] == '-' || body[0] == '+')) ? 1 : 0;
        return body.substr(0, signLength) + std::string(fill, '0') + body.substr(signLength);
    }
    return std::string(fill, ' ') + body;
}

std::string formatInteger(long long value, const Spec &spec)
{
    std::string digits = std::to_string(value < 0 ? -static_cast<unsigned long long>(value)
                                                  : static_cast<unsigned long long>(value));
    if (spec.precision > static_cast<int>(digits.size()))
        digits.insert(0, static_cast<size_t>(spec.precision) - digits.size(), '0');
    if (value < 0)
        digits.insert(0, 1, '-');
    else if (spec.plusSign)
        digits.insert(0, 1, '+');
    return digits;
}

std::string formatFixed(double value, const Spec &spec)
{
    const int precision = spec.precision < 0 ? 6 : spec.precision;
    char buffer[512];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, precision);
    std::string text(buffer, result.ptr);
    if (spec.plusSign && value >= 0)
        text.insert(0, 1, '+');
    return text;
}

// Scientific notation whose precision counts significant digits and whose exponent has a sign
// and three digits: 1.2E-004.
std::string formatScientific(double value, const Spec &spec)
{
    const int significant = spec.precision < 0 ? 15 : std::max(1, spec.precision);
    if (!std::isfinite(value))
        return std::isnan(value) ? "NAN" : (value < 0 ? "-INF" : "INF");
    char buffer[128];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, significant - 1);
    std::string text(buffer, result.ptr);
    const size_t e = text.find('e');
    std::string mantissa = text.substr(0, e);
    int exponent = std::atoi(text.c_str() + e + 1);
    char tail[16];
    std::snprintf(tail, sizeof tail, "E%c%03d", exponent < 0 ? '-' : '+', std::abs(exponent));
    if (spec.plusSign && value >= 0)
        mantissa.insert(0, 1, '+');
    return mantissa + tail;
}

} // namespace

void appendFixed(std::string &out, double value, int decimals)
{
    static constexpr double Scales[] = {1.0, 10.0, 100.0, 1e3, 1e4, 1e5, 1e6};
    const double magnitude = std::fabs(value);
    if (decimals < 0 || decimals > 6 || !(magnitude < 1e9)) {
        out += formatFixed(value, Spec{.precision = decimals});
        return;
    }
    // The exact product magnitude * scale is p + error (the multiply-add gives the rounding
    // error exactly). Rounded to the nearest whole number, halves to the even one, as the exact
    // decimal expansion is.
    const double scale = Scales[decimals];
    const double p = magnitude * scale;
    const double error = std::fma(magnitude, scale, -p);
    double whole = std::floor(p);
    const double fraction = p - whole; // exact
    if (fraction > 0.5 || (fraction == 0.5 && (error > 0.0 || (error == 0.0 && std::fmod(whole, 2.0) != 0.0))))
        whole += 1.0;
    auto units = static_cast<std::uint64_t>(whole);
    char digits[32];
    char *end = digits + sizeof digits;
    char *first = end;
    for (int k = 0; k < decimals; ++k) {
        *--first = static_cast<char>('0' + units % 10);
        units /= 10;
    }
    if (decimals > 0)
        *--first = '.';
    do {
        *--first = static_cast<char>('0' + units % 10);
        units /= 10;
    } while (units != 0);
    if (std::signbit(value))
        *--first = '-';
    out.append(first, end);
}

std::string formatGeneral(double value)
{
    if (!std::isfinite(value))
        return std::isnan(value) ? "NAN" : (value < 0 ? "-INF" : "INF");
    if (value == 0.0)
        return "0";
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
    std::string text(buffer, result.ptr);
    // The general form already drops trailing zeros; the exponent is written as "E" without "+"
    // and leading zeros.
    const size_t e = text.find('e');
    if (e != std::string::npos) {
        std::string mantissa = text.substr(0, e);
        const int exponent = std::atoi(text.c_str() + e + 1);
        return mantissa + "E" + std::to_string(exponent);
    }
    return text;
}

std::string formatText(std::string_view pattern, std::initializer_list<FormatArg> args)
{
    std::string out;
    out.reserve(pattern.size() + 16);
    auto next = args.begin();
    for (size_t i = 0; i < pattern.size(); ++i) {
        const char c = pattern[i];
        if (c != '%') {
            out += c;
            continue;
        }
        if (i + 1 < pattern.size() && pattern[i + 1] == '%') {
            out += '%';
            ++i;
            continue;
        }
        Spec spec;
        size_t j = i + 1;
        for (; j < pattern.size(); ++j) {
            const char flag = pattern[j];
            if (flag == '-')
                spec.leftAlign = true;
            else if (flag == '0')
                spec.zeroPad = true;
            else if (flag == '+')
                spec.plusSign = true;
            else if (flag != ' ' && flag != '#')
                break;
        }
        auto readNumber = [&](int &target) {
            if (j < pattern.size() && pattern[j] == '*') {
                target = next != args.end() ? static_cast<int>((next++)->integer()) : 0;
                ++j;
                return;
            }
            int value = 0;
            bool any = false;
            while (j < pattern.size() && pattern[j] >= '0' && pattern[j] <= '9') {
                value = value * 10 + (pattern[j] - '0');
                any = true;
                ++j;
            }
            if (any)
                target = value;
        };
        readNumber(spec.width);
        if (j < pattern.size() && pattern[j] == '.') {
            ++j;
            spec.precision = 0;
            readNumber(spec.precision);
        }
        while (j < pattern.size() && (pattern[j] == 'l' || pattern[j] == 'h' || pattern[j] == 'L'))
            ++j;
        if (j >= pattern.size()) {
            out.append(pattern.substr(i));
            break;
        }
        spec.conversion = pattern[j];
        i = j;
        if (next == args.end())
            continue;
        const FormatArg &arg = *next++;
        switch (spec.conversion) {
        case 'd':
        case 'i':
        case 'u':
            out += pad(formatInteger(arg.integer(), spec), spec);
            break;
        case 'f':
        case 'F':
            out += pad(formatFixed(arg.real(), spec), spec);
            break;
        case 'e':
        case 'E':
            out += pad(formatScientific(arg.real(), spec), spec);
            break;
        case 'g':
        case 'G':
            out += pad(formatGeneral(arg.real()), spec);
            break;
        case 's': {
            std::string text(arg.kind() == FormatArg::Kind::Text
                                 ? std::string(arg.text())
                                 : (arg.kind() == FormatArg::Kind::Integer ? std::to_string(arg.integer())
                                                                          : formatGeneral(arg.real())));
            if (spec.precision >= 0 && static_cast<int>(text.size()) > spec.precision)
                text.resize(static_cast<size_t>(spec.precision));
            out += pad(std::move(text), spec);
            break;
        }
        default:
            out.append(pattern.substr(i - (j - i), 0));
            break;
        }
    }
    return out;
}

namespace {
std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t' || text.front() == '\r' || text.front() == '\n'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r' || text.back() == '\n'))
        text.remove_suffix(1);
    return text;
}
} // namespace

std::optional<double> parseDecimal(std::string_view text)
{
    text = trimmed(text);
    if (text.empty())
        return std::nullopt;
    if (text.front() == '+')
        text.remove_prefix(1);
    if (text.empty() || text.front() == '+')
        return std::nullopt;
    double value = 0.0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::general);
    if (result.ec != std::errc() || result.ptr != text.data() + text.size())
        return std::nullopt;
    // from_chars also takes "nan", "inf" and "infinity": none of them is a number a file may hold.
    if (!std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<long long> parseInteger(std::string_view text)
{
    text = trimmed(text);
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    if (text.empty())
        return std::nullopt;
    long long value = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (result.ec != std::errc() || result.ptr != text.data() + text.size())
        return std::nullopt;
    return value;
}

long long roundHalfEven(double value)
{
    // Values beyond the range of a whole number (a length of 1E51 read from a file) saturate;
    // converting them would be undefined.
    constexpr double Limit = 9.2e18;
    if (std::isnan(value))
        return 0;
    if (value >= Limit)
        return std::numeric_limits<long long>::max();
    if (value <= -Limit)
        return std::numeric_limits<long long>::min();
    return static_cast<long long>(std::nearbyint(value));
}

} // namespace rvk
