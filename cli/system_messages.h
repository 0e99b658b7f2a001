#pragma once
// The program's messages to the user are fixed Chinese texts. On the command line each is said
// in English, with the original quoted so that it can be recognised and searched for.

#include <string>
#include <string_view>

namespace tavrik::cli {

// "English explanation (原文)"; a text the table does not know is passed on as it is. Line
// breaks inside the original become spaces.
std::string ExplainSystemMessage(std::u16string_view text);

} // namespace tavrik::cli
