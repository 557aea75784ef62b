#pragma once

#include "TransferFailure.h"

// Why the actions script refused a post's signature.
enum class SignatureRefusal {
    kNone,
    kBadSignature,
    kStaleSignature,
    kReplayedSignature,
    kNoOwnerKey
};

// The script's refusal in `failure`, or kNone for any other failure.
SignatureRefusal RefusalOf(const HttpFailure& failure);

// What the owner is told of a refusal: its cause and how to mend it. Empty for kNone.
const char* RefusalMessage(SignatureRefusal refusal);
