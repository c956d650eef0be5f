// SPDX-License-Identifier: MIT
#pragma once
// The builders behind the profiles: each turns a profile's fields into its
// scheme's data.

#include "profiles/profiles.h"

namespace barquill::profiles {

using BuildResult = Result<Built, ProfileError>;

BuildResult buildHub3(const Profile& profile, const FieldValues& fields,
                      const BuildChoices& choices);
// The HUB-3 settings with the character set chosen.
ProfileSettings hub3Settings(const ProfileSettings& settings, Hub3Charset choice);

BuildResult buildAamva(const Profile& profile, const FieldValues& fields,
                       const BuildChoices& choices);
BuildResult buildBcbp(const Profile& profile, const FieldValues& fields,
                      const BuildChoices& choices);
// A scheme whose data is one document, taken as given.
BuildResult buildDocument(const Profile& profile, const FieldValues& fields,
                          const BuildChoices& choices);

}  // namespace barquill::profiles
