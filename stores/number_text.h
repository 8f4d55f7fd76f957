#pragma once

#include <cstdint>
#include <string_view>

namespace keydeck {

// Number conversions with the semantics of the C library's wcstoul / wcstol on
// a platform whose long is 32 bits, so that files read alike everywhere:
// leading white space skipped, an optional sign, digits up to the first other
// character, 0 without digits; out-of-range values saturate.

// Unsigned decimal; a minus sign negates modulo 2^32 ("-1" gives 4294967295).
uint32_t ParseUnsignedDecimal(std::string_view text);
// Signed decimal (wtol).
int32_t ParseSignedDecimal(std::string_view text);
// Signed hexadecimal with an optional "0x" prefix (wcstol base 16).
int32_t ParseSignedHex(std::string_view text);

}  // namespace keydeck
