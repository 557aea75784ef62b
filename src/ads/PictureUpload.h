#pragma once

class AdService;
class Messages;
struct PictureFile;

// Uploads `picture` and tells the owner what became of it: asks before replacing a picture of
// the same name, and explains every refusal. True when the server holds it under its name.
bool SendPicture(AdService& service, Messages& messages, const PictureFile& picture);
