#pragma once
// UTF-8 and UTF-16 text: the fields hold UTF-16 code units, files and
// messages are UTF-8. A byte or unit that is not valid becomes U+FFFD.
#include <string>
#include <string_view>

std::u16string Utf8ToUtf16(std::string_view text);
std::string Utf16ToUtf8(std::u16string_view text);
