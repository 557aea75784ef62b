#pragma once

#include <cstdint>
#include <string>

// Every protected file is a container under this one pass phrase, built into the program.
inline constexpr char kProtectPassPhrase[] = "pedvorunla";
inline constexpr std::int32_t kProtectBufferSize = 262144;

// Turns the plain file `source` into a container at `target`. Both are full paths.
// Throws "Cannot open file "%s". %s" or "Cannot create file "%s". %s" when a file cannot be
// opened, and "Cannot read file "%s". %s" or "Cannot write file "%s". %s" when a transfer
// fails partway (the target then keeps what was written). An existing target is replaced.
void ProtectFile(const std::string& source, const std::string& target);

// Turns the container `source` into the plain file `target`, which only its owner may read.
// Errors as for ProtectFile. The target is created or emptied before anything is checked:
// a wrong pass phrase or a file that is no container leaves it empty, and a bad
// authentication code leaves the decrypted bytes in it, without an error either way.
void UnprotectFile(const std::string& source, const std::string& target);

// A container's plain bytes, decrypted in memory, and whether they are authentic.
struct PlainText {
    std::string bytes;
    // Both the pass phrase and the authentication code matched.
    bool authentic = false;
};

// The plain text of the container at `path`, never written to disk. A file made with another
// pass phrase, or too short to be a container, gives no bytes; one whose authentication code
// does not match gives its decrypted bytes all the same, not authentic. Throws "Cannot open
// file ..." or "Cannot read file ..." when the file cannot be read.
PlainText DecryptProtectedFile(const std::string& path);
