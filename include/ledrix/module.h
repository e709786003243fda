// The library's own string table and version.
#pragma once

#include <string>

#include "ledrix/export.h"

namespace ledrix {

/// String ids of the library's table.
enum StringId : int {
  IDS_EVENT_TYPE_FIRST = 102,        ///< 102 + event type code: display text
  IDS_EVENT_TYPE_ERROR = 125,        ///< "<error>"
  IDS_ALTERNATIVE_ALLOCATION = 130,  ///< "(ALTERNATIVE PAYMENT ALLOCATION 0%.2o)"
  IDS_IRS_ALLOCATION_PLAIN = 131,    ///< "(IRS PAYMENT ALLOCATION)"
  IDS_PREDICTOR_CAPACITY = 132,
  IDS_IRS_ALLOCATION = 137,  ///< "(IRS PAYMENT ALLOCATION %d)"
};

/// The text of string `id`, or the empty string when the table has none.
LEDRIX_API std::string LoadString(int id);

/// "Ledrix Version 2012.2"
LEDRIX_API const char* VersionText();

}  // namespace ledrix
