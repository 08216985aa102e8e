#include "platform/NumberText.h"

#include <limits>

namespace platform {

int64_t ExtractInteger(const std::string& text) {
    size_t i = text.find_first_not_of(" \t\r\n\v\f");
    if (i == std::string::npos) return 0;
    bool negative = false;
    if (text[i] == '+' || text[i] == '-') negative = text[i++] == '-';
    int64_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        const int digit = text[i] - '0';
        if (value > (std::numeric_limits<int64_t>::max() - digit) / 10) {
            return negative ? std::numeric_limits<int64_t>::min() : std::numeric_limits<int64_t>::max();
        }
        value = value * 10 + digit;
    }
    return negative ? -value : value;
}

int64_t ClampInteger(int64_t value, int64_t low, int64_t high) { return value < low ? low : value > high ? high : value; }

}  // namespace platform
