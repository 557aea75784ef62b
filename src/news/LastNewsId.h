#pragma once

#include <string>

// The id of the news item the owner opened last, kept in the brand profile under the tag
// "LastNewsId". `path` is the profile's full path.

// The stored id, or empty when the file or the tag is missing. Throws when the file cannot
// be read.
std::string ReadLastNewsId(const std::string& path);

// Stores `id` in the profile read from `source` and written to `target` (the same file, or
// the owner's own copy of an installed brand's profile), replacing the first tag written exactly as
// "<%%LastNewsId%%>" or adding one on a line of its own; everything else in the profile stays,
// apart from line ends, which become CR LF. A missing file is left missing. The profile is
// decrypted in memory and rewritten whole through a temporary file, so it is never half written and
// its plain text never reaches the disk. Throws, leaving the files as they were, when the source
// cannot be read or the target written, or when the source does not decrypt soundly to a non-empty
// text.
void WriteLastNewsId(const std::string& source, const std::string& target, const std::string& id);

// Whether the server's newest item is newer than the stored one. Both are read as signed
// 32-bit numbers after any leading blanks; anything else counts as 0. An empty last code
// means the server has no news, never newer.
bool NewerNewsWaiting(const std::string& lastCode, const std::string& storedId);
