#pragma once
// The program's messages to the user are fixed Chinese texts. The command line speaks English:
// each known message is said in English alone, with what follows its fixed part (a file's path)
// kept as it is.

#include <string>
#include <string_view>

namespace tavrik::cli {

// The English for the message; a text the table does not know is passed on as it is. Line
// breaks become spaces.
std::string ExplainSystemMessage(std::u16string_view text);

} // namespace tavrik::cli
