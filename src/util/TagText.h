#pragma once

#include <string>

// The brand profile is plain text with values between markers: "<%%Name%%>" value
// "<%%/Name%%>". Markers match regardless of the case of the letters a to z.
std::string OpeningMarker(const std::string& name);
std::string ClosingMarker(const std::string& name);

// Where `marker` first occurs in `text` at or after `from`, letters a to z matched in any
// case; std::string::npos when it does not.
std::size_t FindMarker(const std::string& text, const std::string& marker, std::size_t from = 0);

// Returns the value after the first `opening` marker up to the next `closing` marker, and
// cuts `text` so that it starts at that closing marker. Without an opening marker the value
// is empty and `text` stays as it is; without a closing marker after it the value is empty
// and `text` starts just after the opening marker. Reading tags one after another therefore
// finds each only after the one read before it.
std::string TakeTagValue(const std::string& opening, const std::string& closing, std::string& text);

// The file's bytes as the text that the tags are read from: everything before the first NUL,
// with each line, the last one included, ended by CR LF, whether it ended with CR LF, CR or LF.
std::string JoinLinesCrLf(const std::string& bytes);
