#include "PictureUpload.h"

#include "AdService.h"
#include "Messages.h"
#include "PictureFile.h"
#include "ShownText.h"

namespace {

// The script's refusals of a picture, and what the owner is told of each.
struct Refusal {
    const char* reply;
    const char* message;
};
constexpr Refusal kRefusals[] = {
    {"BAD PICTURE NAME",
     "Your server refused the picture's name. A name may hold only letters, digits, \".\", "
     "\"_\" and \"-\", up to 100 of them, and must end in .jpg, .jpeg, .png, .gif or .webp. "
     "Please rename the file and try again."},
    {"BAD PICTURE",
     "Your server refused the file: it is not a picture of the type its name says. Please "
     "choose a JPEG, PNG, GIF or WebP picture."},
    {"PICTURE TOO LARGE",
     "Your server refused the picture: it weighs more than 5 MB. Please make it smaller and "
     "try again."},
    {"EXIST PICTURE",
     "Your server kept the picture of that name that it holds. Please rename the file and try "
     "again."},
    // PHP drops a post above its post_max_size before the script sees it.
    {"TOO LARGE",
     "Your server refused the picture: its PHP setting post_max_size admits less than this "
     "picture. Please raise post_max_size to 8M on your server, or choose a smaller picture."},
};

std::string RefusalMessage(const std::string& reply) {
    for (const Refusal& known : kRefusals)
        if (reply == known.reply) return known.message;
    return "Your server refused the picture: " + ShownCaption(reply);
}

}  // namespace

bool SendPicture(AdService& service, Messages& messages, const PictureFile& picture) {
    AdService::Upload sent = service.UploadPicture(picture.name, picture.bytes, false);
    if (sent.outcome == AdService::Upload::kExists) {
        if (!messages.Question("Your server already holds a picture named \"" + picture.name +
                               "\". Press OK to replace it with this one, or Cancel to keep "
                               "the one on the server."))
            return false;
        sent = service.UploadPicture(picture.name, picture.bytes, true);
    }
    switch (sent.outcome) {
        case AdService::Upload::kDone:
            return true;
        case AdService::Upload::kExists:
            messages.Warning(RefusalMessage("EXIST PICTURE"));
            return false;
        case AdService::Upload::kRefused:
            messages.Warning(RefusalMessage(sent.reason));
            return false;
        case AdService::Upload::kUnknownAction:
            messages.Warning(
                "This server cannot receive pictures: the scripts on it are older than this "
                "program. Upload the file to the Pictures folder of your server by hand (with "
                "an FTP program or your host's file manager) and enter its name in the Picture "
                "box, or upload this program's server scripts to your server.");
            return false;
        case AdService::Upload::kFailed:
            break;
    }
    messages.Warning(service.FailureMessage(
        "There is a trouble uploading this picture, please check your settings and your "
        "internet connection."));
    return false;
}
