#pragma once

#include <string>

// The two PHP snippets that put an ad on a page of the owner's site, each line ended by
// CR LF. The header snippet asks the site which ad to show next, passing the id of the one
// the visitor saw last (the cookie "lastadid", read as a whole number), and keeps the answer
// in that cookie; the display snippet prints what the site's display script renders for it.
// The site URL stands as stored, escaped only so that PHP reads it as typed.
std::string HeaderSnippet(const std::string& webserver);
std::string DisplaySnippet(const std::string& webserver);
