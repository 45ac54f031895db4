// Which named range of a workbook holds the cash flows when it has several
// candidates: the default names of the settings, in their order, decide.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace fv {

// `range_names` split at every ";" (no trimming); "TRQ" when the setting is empty.
std::vector<std::string> default_range_names(const std::string& setting);

// The first default name, in the setting's order, that a candidate equals
// ignoring case; the candidate's own spelling is returned. A single candidate
// is taken whatever its name. Nothing when the user must choose.
std::optional<std::string> choose_range(const std::vector<std::string>& candidates, const std::string& setting);

}  // namespace fv
