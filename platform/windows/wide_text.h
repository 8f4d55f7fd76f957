#pragma once

#include <string>
#include <string_view>

namespace keydeck {

// UTF-8 text of the core as the wide text Win32 takes.
std::wstring WideFromUtf8(std::string_view text);

}  // namespace keydeck
