#pragma once

#include <string>
#include <vector>

class Shell;

// Whether the program hands `address` to another program: only an http or https address with
// a host, or a mailto address, without control bytes. Such an address starts with its scheme,
// so no program can take it for an option; links from the brand or a news server may hold
// anything else.
bool IsOpenableAddress(const std::string& address);

// Opens `address` in the user's web browser: the program named by $BROWSER when that names
// one that exists, otherwise the desktop's default handler (xdg-open). The address is handed
// over as one argument. False when no browser can be found or it would not start, and for an
// empty address. Throws std::runtime_error naming the address when it is not openable.
bool OpenInDefaultBrowser(Shell& shell, const std::string& address);

// Opens `address` with the desktop's default handler for it (xdg-open), the platform's
// "open" action. False and throws as OpenInDefaultBrowser does.
bool OpenWithDesktopHandler(Shell& shell, const std::string& address);

// Fills `list` with the pieces of `text` between `separator` bytes. An empty piece before a
// separator counts; an empty piece at the very end does not.
void SplitByChar(char separator, const std::string& text, std::vector<std::string>& list);

// Decodes "$hh" escapes. Any malformed escape makes the whole result empty.
std::string DecodeHexEscapes(const std::string& text);
