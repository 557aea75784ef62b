#pragma once

#include <string>
#include <vector>

// The news server's replies as the client reads them: raw bytes, trimmed of the blanks and
// control bytes around them; a success reply contains "OK", and the marker 0xAF "OK" closes
// the list and the content.

std::string TrimmedReply(const std::string& reply);
bool IsSuccessReply(const std::string& trimmed);

// Appends each record of a success reply to the list ("id^title^date"), skipping empty
// pieces and pieces that are "OK" alone.
void ReadNewsList(const std::string& trimmed, std::vector<std::string>& list);
// The newest item's id and title; both empty when the reply names none.
void ReadLastCode(const std::string& trimmed, std::string& lastCode, std::string& lastTitle);
// The content without its markers, its "$" escapes decoded.
std::string ReadNewsDetails(const std::string& trimmed);
