#include "SignatureRefusal.h"

#include <string_view>

#include "Ascii.h"

namespace {

constexpr long kForbidden = 403;

struct Refusal {
    SignatureRefusal refusal;
    const char* reply;  // the script's one line
    const char* message;
};

constexpr Refusal kRefusals[] = {
    {SignatureRefusal::kBadSignature, "BAD SIGNATURE",
     "Your server refused the request: the owner key in the qlspsettings.php on your server is "
     "not this program's. Press Ok in Settings, then upload the qlspsettings.php that it writes "
     "beside this program to your server, next to qlspactions.php, and try again."},
    {SignatureRefusal::kStaleSignature, "STALE SIGNATURE",
     "Your server refused the request: its clock and this computer's differ by more than five "
     "minutes, even once the program allowed for the server's time. Check the date, time and "
     "time zone of this computer and of your server, then try again."},
    {SignatureRefusal::kReplayedSignature, "REPLAYED SIGNATURE",
     "Your server refused the request as one it had already received: something between this "
     "computer and your server may be sending the program's requests again. Try again; if it "
     "goes on, use an https site URL in Settings."},
    {SignatureRefusal::kNoOwnerKey, "NO OWNER KEY",
     "Your server refused the request: the qlspsettings.php on your server holds no owner key. "
     "Press Ok in Settings, then upload the qlspsettings.php that it writes beside this program "
     "to your server, next to qlspactions.php, and try again."},
};

}  // namespace

SignatureRefusal RefusalOf(const HttpFailure& failure) {
    if (failure.status != kForbidden) return SignatureRefusal::kNone;
    const std::string_view said = Trimmed(failure.body, IsBlankOrControl);
    for (const Refusal& known : kRefusals)
        if (said == known.reply) return known.refusal;
    return SignatureRefusal::kNone;
}

const char* RefusalMessage(SignatureRefusal refusal) {
    for (const Refusal& known : kRefusals)
        if (known.refusal == refusal) return known.message;
    return "";
}
