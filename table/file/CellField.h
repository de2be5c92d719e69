#pragma once

#include <string>
#include <string_view>

/// Whether CellFieldText gives the cell back as it is: most cells with double-byte characters.
bool IsFieldAsItIs(std::string_view cell);

/// The cell as a field of the answer file, without its comma, such that the comma-text rules
/// read it back as the same cell: quoted (quotes doubled, line breaks kept, NUL one blank) when
/// it holds a comma, a blank or another control byte, or opens with a double quote; a lead byte
/// without its second byte written as "?", as it would swallow the byte after it.
std::string CellFieldText(std::string_view cell);
