// The system's own words for the last Win32 error, for the reasons the user is shown.
#pragma once

#include <string>
#include <string_view>

// "<where>: <FormatMessage text of GetLastError()>", without the text's final
// full stop and line end.
std::u16string DescribeLastError(std::wstring_view where);
