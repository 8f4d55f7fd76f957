#include "stores/number_text.h"

#include <limits>

namespace keydeck {
namespace {

bool IsSpace(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

int DigitValue(char c, int base) {
    int v = -1;
    if (c >= '0' && c <= '9') {
        v = c - '0';
    } else if (c >= 'a' && c <= 'z') {
        v = c - 'a' + 10;
    } else if (c >= 'A' && c <= 'Z') {
        v = c - 'A' + 10;
    }
    return v < base ? v : -1;
}

struct Scanned {
    bool negative = false;
    bool overflow = false;   // magnitude above 2^32 - 1
    uint64_t magnitude = 0;  // valid when !overflow
};

Scanned Scan(std::string_view text, int base) {
    Scanned r;
    size_t i = 0;
    while (i < text.size() && IsSpace(text[i])) ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        r.negative = text[i] == '-';
        ++i;
    }
    // "0x" counts as a prefix only when a hex digit follows; "0xg" reads as 0.
    if (base == 16 && i + 2 < text.size() && text[i] == '0' &&
        (text[i + 1] == 'x' || text[i + 1] == 'X') && DigitValue(text[i + 2], 16) >= 0) {
        i += 2;
    }
    for (; i < text.size(); ++i) {
        const int d = DigitValue(text[i], base);
        if (d < 0) break;
        if (!r.overflow) {
            r.magnitude = r.magnitude * static_cast<uint64_t>(base) + static_cast<uint64_t>(d);
            if (r.magnitude > std::numeric_limits<uint32_t>::max()) r.overflow = true;
        }
    }
    return r;
}

int32_t ToSigned(const Scanned& s) {
    constexpr uint64_t kMaxPositive = std::numeric_limits<int32_t>::max();
    if (s.negative) {
        if (s.overflow || s.magnitude > kMaxPositive + 1)
            return std::numeric_limits<int32_t>::min();
        return static_cast<int32_t>(-static_cast<int64_t>(s.magnitude));
    }
    if (s.overflow || s.magnitude > kMaxPositive) return std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(s.magnitude);
}

}  // namespace

uint32_t ParseUnsignedDecimal(std::string_view text) {
    const Scanned s = Scan(text, 10);
    if (s.overflow) return std::numeric_limits<uint32_t>::max();
    const auto m = static_cast<uint32_t>(s.magnitude);
    return s.negative ? 0u - m : m;
}

int32_t ParseSignedDecimal(std::string_view text) {
    return ToSigned(Scan(text, 10));
}

int32_t ParseSignedHex(std::string_view text) {
    return ToSigned(Scan(text, 16));
}

}  // namespace keydeck
