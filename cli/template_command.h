// `ledrix template FORM`: a starter return file for a form, with every field
// the return file has, each with a value to replace and a comment that says
// what it is. It reads as it stands: `ledrix template 941 | ledrix compute -`.
#pragma once

#include <string>

#include "fields.h"

namespace ledrix::cli {

/// The starter return file of `form`, JSON with // comments.
std::string StarterReturn(const FormInfo& form);

}  // namespace ledrix::cli
