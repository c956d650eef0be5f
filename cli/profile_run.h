// SPDX-License-Identifier: MIT
#pragma once
// Application profiles on the command line: fields from --field and
// --fields, the label made by the library, and the data of a card shown.

#include <string>

#include "barquill/profiles.hpp"
#include "cli/request.h"
#include "cli/run.h"

namespace barquill::cli {

// The library's request for the profile of the command line, with `fields`
// (a batch line's) over those of --fields and --field. Reads --fields files
// and @FILE values; the error says which could not be read.
Result<ProfileRequest> profileRequest(const Request& request, const Fields& lineFields = {});

// --profile NAME: one label from the fields, or --explain-data FILE.
int runProfile(const Request& request, const Console& console);

}  // namespace barquill::cli
