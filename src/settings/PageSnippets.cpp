#include "PageSnippets.h"

#include <initializer_list>

#include "PhpText.h"

namespace {

std::string Lines(std::initializer_list<std::string> lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    return text;
}

}  // namespace

std::string HeaderSnippet(const std::string& webserver) {
    // The cookie comes from the visitor and the answer from the network: both are read as
    // whole numbers before they go into an address or a cookie.
    return Lines({
        "<?php",
        "$lastadid=0;",
        "if (isset($_COOKIE[\"lastadid\"]))",
        "   $lastadid=(int)$_COOKIE[\"lastadid\"];",
        "$ch = curl_init();",
        "curl_setopt($ch, CURLOPT_URL, \"" + PhpDoubleQuoted(webserver) +
            "/qlspgetid.php?lastadid=$lastadid\");",
        "curl_setopt($ch, CURLOPT_RETURNTRANSFER, true);",
        "$ad_id = (int)curl_exec($ch);",
        "curl_close($ch);",
        "$expire=time()+60*60*24*30;",
        "setcookie(\"lastadid\", \"$ad_id\", $expire);",
        "?>",
    });
}

std::string DisplaySnippet(const std::string& webserver) {
    // The display script's output is printed, not run as PHP: PHP refuses to include a
    // remote address by default, and where it is allowed it would run whatever came back.
    return Lines({
        "<?php",
        "if ($ad_id>0)",
        "   readfile(\"" + PhpDoubleQuoted(webserver) + "/qlspshow.php?ad_id=$ad_id\");",
        "?>",
    });
}
