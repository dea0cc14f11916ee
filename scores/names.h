// names.h: the name a run is submitted under.
#pragma once

#include <string>
#include <string_view>

// 1 to 20 characters (code points) of valid UTF-8 once the blanks around it are trimmed, with no
// control character and none of the characters that reorder or break the text around them.
constexpr size_t max_name_characters = 20;

// The trimmed name in 'name', or false with the reason in 'error' (one line).
bool check_name(std::string_view submitted, std::string &name, std::string &error);
