#pragma once
// The description a Windows .fon file carries about itself: the first entry of its NE module's
// non-resident name table, such as "FONTRES 100,96,96 : Courier 10,12,15". Windows names the font by the
// text after " : ".

#include <string>

namespace quillon::platform {

/// The description of the .fon file at path after its " : ", in UTF-8 (the file's bytes are taken as
/// Windows-1252's Latin-1 subset); "" when the file is not an NE module, has no such text, or the text holds
/// control characters. Reads only inside the file.
std::string fonDescription(const std::string& path);

/// The same, from the file's bytes.
std::string fonDescriptionFromBytes(const std::string& bytes);

} // namespace quillon::platform
