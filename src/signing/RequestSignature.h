#pragma once

#include <cstdint>
#include <string>

// The header that proves a post to the actions script comes from the key's owner and was not
// changed on its way: "X-Quillspot-Signature: t=T,n=N,v1=S", where T is `unixSeconds`, N the
// request's one-time `nonce` (hex), and S the HMAC-SHA256 under the key's bytes of
// "qlsp-v1" LF T LF N LF and the exact body, in lowercase hex. `ownerKey` must pass IsOwnerKey.
std::string SignatureHeader(const std::string& ownerKey, std::int64_t unixSeconds,
                            const std::string& nonce, const std::string& body);
