// Verification in a build without the reader: every request says so.
#include "verify/verify.h"

namespace barquill::verify {

bool available() {
    return false;
}

Outcome verifyGrey(const std::uint8_t*, int, int, int, const Expected&) {
    Outcome outcome;
    outcome.mismatch = Mismatch::Unavailable;
    return outcome;
}

}  // namespace barquill::verify
