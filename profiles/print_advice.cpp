// SPDX-License-Identifier: MIT
// Printed sizes against a scheme's printing advice.

#include "profiles/profiles.h"

namespace barquill::profiles {

std::vector<Warning> checkPrintSize(const Profile& profile, double moduleMillimetres,
                                    double rowHeightMillimetres) {
    const PrintAdvice& advice = profile.printAdvice;
    std::vector<Warning> warnings;
    if (advice.minModuleMillimetres > 0 && moduleMillimetres < advice.minModuleMillimetres)
        warnings.push_back(
            {WarningCode::moduleTooNarrow, "", 0, moduleMillimetres, advice.minModuleMillimetres});
    if (advice.maxModuleMillimetres > 0 && moduleMillimetres > advice.maxModuleMillimetres)
        warnings.push_back(
            {WarningCode::moduleTooWide, "", 0, moduleMillimetres, advice.maxModuleMillimetres});
    // A little slack: sizes come from pixels and resolutions.
    if (advice.minRowHeightModules > 0 && moduleMillimetres > 0 &&
        rowHeightMillimetres < advice.minRowHeightModules * moduleMillimetres * (1 - 1e-9))
        warnings.push_back({WarningCode::rowsTooLow, "", 0,
                            rowHeightMillimetres / moduleMillimetres,
                            static_cast<double>(advice.minRowHeightModules)});
    return warnings;
}

}  // namespace barquill::profiles
