// The VAT table line of the receipt: four left-aligned columns of 7, 9, 9 and 9 characters,
// each cut or padded with blanks, separated by one blank (37 characters). The register
// window's VAT table heading and the VAT container lines use it.
//
//   FormatColumns("A  19.00%", " 1,99€", " 1,67€", " 0,32€")
//     -> "A  19.0" " " " 1,99€   " " " " 1,67€   " " " " 0,32€   "
#pragma once

#include <string>
#include <string_view>

std::string FormatColumns(std::string_view a, std::string_view b, std::string_view c, std::string_view d);
