#include "verify/verify.h"

namespace barquill::verify {

Mismatch compare(const Reading& read, const Expected& expected) {
    if (read.bytes != expected.bytes) return Mismatch::Bytes;
    const bool unreported = expected.eci >= FIRST_UNREPORTED_ECI && read.eci == NO_ECI;
    if (read.eci != expected.eci && !unreported) return Mismatch::Eci;
    if (read.macro != expected.macro) return Mismatch::Macro;
    return Mismatch::None;
}

}  // namespace barquill::verify
